// Reader of the single-instruction 68000 test vectors (see FORMAT.md beside them).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct VectorRam {
  std::uint32_t address;
  std::uint16_t word;
};

struct VectorState {
  std::uint32_t d[8], a[7], usp, ssp, sr, pc;
  std::uint32_t prefetch[2];
  std::vector<VectorRam> ram;
};

struct VectorTransaction {
  std::uint8_t kind;  // 0 idle, 1 write, 2 read, 3 TAS, 4 read address error, 5 write address error
  std::uint32_t functionCode, address, data;
  bool upperByte, lowerByte;  // the byte lanes of the transfer
};

struct VectorCase {
  std::string name;
  VectorState initial, final;
  std::vector<VectorTransaction> transactions;
};

// Reads all cases of one file; false with a message in `error` when the file
// is missing or malformed.
bool ReadVectorFile(const std::string& path, std::vector<VectorCase>& cases, std::string& error);

// The opcode table: for every 16-bit instruction word, the number of the
// handler that serves it, or kUnserved. Built once from the form list.
#pragma once
#include <array>
#include <cstdint>

namespace m68k {
constexpr unsigned kHandlerCount = 388;
constexpr std::uint16_t kUnserved = 0xFFFF;

struct OpcodeTable {
  std::array<std::uint16_t, 65536> handler;
  // Words that two forms claimed (a fault in the list); the later form lost.
  unsigned conflicts = 0;
  // Patterns that could not be read (a fault in the list).
  unsigned badPatterns = 0;
  // Handler numbers that some line names but no FORM line introduces.
  unsigned missingHandlers = 0;
};

const OpcodeTable& opcodeTable();

// The number of a handler as the form list writes it ("00042").
constexpr unsigned handlerNumber(const char* digits) {
  unsigned n = 0;
  for (; *digits; ++digits) n = n * 10 + static_cast<unsigned>(*digits - '0');
  return n;
}
}  // namespace m68k

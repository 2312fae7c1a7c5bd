// Turns a linked Palm application (ELF32 m68k) into its start-up resources:
// 'code' 1 (text and read-only data at 0, entry at offset 0), 'code' 0 (the
// sizes above and below A5) and 'data' 0 (compressed initial globals and the
// two relocation lists). The link places .data and .bss below A5 and the GOT
// at A5; the linker script marks A5 with the symbol __a5 and the end of the
// instructions with __text_end.
#pragma once
#include <string>
#include <vector>
#include "palm/PalmTypes.h"
#include "prc/ElfImage.h"
#include "prc/InstructionScan.h"

struct StartupImage {
  std::vector<UInt8> code0;
  std::vector<UInt8> code1;
  std::vector<UInt8> data0;
  UInt32 textEnd = 0;  // 'code' 1 holds instructions in [0, textEnd), read-only data after
  std::size_t globalsRelocations = 0;
  std::size_t codeRelocations = 0;
};

// Builds the resources, refusing what they cannot represent: an entry point
// other than 0, absolute or unknown relocations in code, unknown relocation
// types in data, relocations at odd offsets, pointers that lead outside the
// code and the globals, and instructions that `served` refuses.
bool BuildStartupImage(const ElfImage& elf, OpcodeServedPredicate served, StartupImage& image, std::string& error);

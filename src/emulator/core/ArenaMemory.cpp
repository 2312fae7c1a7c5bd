#include "emulator/core/ArenaMemory.h"
#include <unistd.h>
#include <cstdio>
#include "emulator/core/RegisterDump.h"
#include "host/Reporting.h"

namespace m68k {
namespace {
// What a read outside 68K memory sees.
const std::uint8_t kZeroes[8] = {};
}  // namespace

void illegalWrite(const M68KState& st, UInt32 address, UInt32 opcode, UInt32 pc) {
  char registers[400];
  FormatM68KRegisters(st, registers, sizeof registers);
  WarningF("Fatal Error: Illegal memory access\nwrite to 0x%08X by instruction 0x%04X (PC 0x%08X)\n%s", address,
           opcode & 0xFFFF, pc, registers);
  std::fflush(nullptr);
  _exit(255);
}

ArenaMemory::Loc ArenaMemory::slowTranslate(M68KState& st, UInt32 a, unsigned bytes, bool translated, bool write,
                                            UInt32 opcode, UInt32 pc) {
  if (translated) {
    if (a < kLowMemorySize) return host(st.lowMemBase + a);
    if (a == kM68KLcdStartRegister) return reinterpret_cast<Loc>(&st.lcdStartBigEndian);
  }
  // A handle (0x80000000 | address) dereferenced by 68K code finds its master block.
  if (Arena68K::inMirror(a) && Arena68K::unmirror(a) - Arena68K::kBase <= Arena68K::kSize - bytes)
    return host(Arena68K::unmirror(a));
  if (write) illegalWrite(st, a, opcode, pc);
  return const_cast<Loc>(kZeroes);
}
}  // namespace m68k

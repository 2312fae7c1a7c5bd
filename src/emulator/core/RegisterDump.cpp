#include "emulator/core/RegisterDump.h"
#include <cstdio>

void FormatM68KRegisters(const M68KState& st, char* buffer, std::size_t size) {
  std::size_t n = 0;
  if (size) buffer[0] = 0;
  for (unsigned i = 0; i < 16 && n < size; ++i) {
    int written = std::snprintf(buffer + n, size - n, "%c%u=%08X%s", i < 8 ? 'D' : 'A', i & 7, st.reg[i],
                                (i & 7) == 7 ? "\n" : " ");
    if (written < 0) return;
    n += static_cast<std::size_t>(written);
  }
}

#include "palm/Address.h"
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {
[[noreturn]] void badHostPointer(const void* p) {
  char text[160];
  int n = std::snprintf(text, sizeof text,
                        "Fatal Error: host pointer %p is not addressable by 68K code\n", p);
  if (n > 0) (void)!write(STDERR_FILENO, text, static_cast<size_t>(n));
  std::abort();
}
}  // namespace

EmuAddr toEmu(const void* p) {
  auto v = reinterpret_cast<std::uintptr_t>(p);
  if (v >= 0x80000000u) badHostPointer(p);
  return static_cast<EmuAddr>(v);
}

void* fromEmu(EmuAddr a) {
  if (a == 0) return nullptr;
  // Handles and LocalIDs are converted by the Memory Manager, never dereferenced.
  if (a >= 0x80000000u) badHostPointer(reinterpret_cast<const void*>(static_cast<std::uintptr_t>(a)));
  return reinterpret_cast<void*>(static_cast<std::uintptr_t>(a));
}

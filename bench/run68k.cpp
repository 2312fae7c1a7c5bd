// run68k: runs a flat 68000 binary in the interpreter core and times it.
//
//   run68k [--count] FILE
//
// The binary is loaded at 68K address 0x30000000 (inside the arena range),
// A7 = 0x30F00000, PC = 0x30000000, and runs in the production memory policy
// until it executes TRAP #0. Each TRAP #15 and the trap word after it are
// counted and skipped, as a trap dispatcher would. Prints
//   checksum=0x%08X seconds=%.3f traps=%llu [instructions=%llu]
// with the checksum taken from D0. --count runs the instruction-counting
// variant of the core.
#include <sys/mman.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>
#include "emulator/core/ArenaMemory.h"
#include "emulator/core/Interpreter.h"
#include "emulator/core/M68KState.h"
#include "palm/Endian.h"

namespace {
constexpr UInt32 kLoadAddress = 0x30000000;
constexpr UInt32 kStackTop = 0x30F00000;
constexpr UInt32 kMappedBytes = 0x01000000;
constexpr UInt16 kTrap0 = 0x4E40, kTrap15 = 0x4E4F;

struct Result {
  bool ok = true;
  unsigned long long traps = 0;
};

// Runs the core until TRAP #0; any other stop is an error.
template <class Core>
Result runProgram(M68KState& st, Core core) {
  Result r;
  for (;;) {
    M68KAccelStatus status = core(&st);
    UInt16 word = status == kM68KUnimplemented ? get16(reinterpret_cast<UInt8*>(std::uintptr_t{st.pc})) : 0;
    if (status == kM68KUnimplemented && word == kTrap15) {
      ++r.traps;
      st.pc += 4;
      continue;
    }
    if (status == kM68KUnimplemented && word == kTrap0) return r;
    std::fprintf(stderr, "run68k: stopped with status %d at 0x%08X (word 0x%04X)\n", status, st.pc, word);
    r.ok = false;
    return r;
  }
}
}  // namespace

int main(int argc, char** argv) {
  bool count = argc == 3 && std::strcmp(argv[1], "--count") == 0;
  if (argc != 2 && !count) {
    std::fprintf(stderr, "usage: run68k [--count] FILE\n");
    return 2;
  }
  const char* path = argv[argc - 1];
  std::ifstream in(path, std::ios::binary);
  std::vector<char> image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!in.good() && !in.eof()) image.clear();
  if (image.empty() || image.size() > kStackTop - kLoadAddress) {
    std::fprintf(stderr, "run68k: cannot load %s (missing, empty or larger than %u bytes)\n", path,
                 kStackTop - kLoadAddress);
    return 1;
  }
  void* where = reinterpret_cast<void*>(std::uintptr_t{kLoadAddress});
  void* memory = mmap(where, kMappedBytes, PROT_READ | PROT_WRITE,
                      MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED_NOREPLACE | MAP_NORESERVE, -1, 0);
  if (memory != where) {
    std::fprintf(stderr, "run68k: cannot map 68K memory at 0x%08X: %s\n", kLoadAddress,
                 memory == MAP_FAILED ? std::strerror(errno) : "placed elsewhere");
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);) std::fprintf(stderr, "  %s\n", line.c_str());
    return 1;
  }
  std::memcpy(memory, image.data(), image.size());

  M68KState st{};
  st.pc = kLoadAddress;
  st.A(7) = kStackTop;
  st.lcdStart = 0xFFFFFFFF;  // no frame buffer
  st.lowMemBase = kStackTop;  // a spare block above the stack

  auto started = std::chrono::steady_clock::now();
  Result r;
  unsigned long long instructions = 0;
  if (count) {
    m68k::CountingArenaMemory counting;
    r = runProgram(st, [&](M68KState* s) { return m68k::runCore(s, counting); });
    instructions = counting.instructions;
  } else {
    r = runProgram(st, M68KAccelerate);
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  if (!r.ok) return 1;
  std::printf("checksum=0x%08X seconds=%.3f traps=%llu", st.D(0), seconds, r.traps);
  if (count) std::printf(" instructions=%llu", instructions);
  std::printf("\n");
  return 0;
}

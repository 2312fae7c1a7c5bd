#include "host/arena/Arena.h"
#include <sys/mman.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include "host/arena/RangeAllocator.h"
#include "palm/Address.h"

namespace Arena {
namespace {
// The top eighth of the arena holds whole-page runs; the rest is the byte heap.
constexpr std::uint32_t kPageRegionSize = Arena68K::kSize / 8;
constexpr std::uint32_t kHeapEnd = Arena68K::kEnd - kPageRegionSize;
constexpr std::uint32_t kHeapGranule = 8;

struct State {
  std::mutex lock;
  RangeAllocator heap{Arena68K::kBase, kHeapEnd, kHeapGranule, RangeAllocator::Carve::FromLow};
  RangeAllocator pages{kHeapEnd, Arena68K::kEnd, static_cast<std::uint32_t>(sysconf(_SC_PAGESIZE)),
                       RangeAllocator::Carve::FromHigh};
  std::uint32_t heapCommitted = Arena68K::kBase;  // byte-heap pages are readable below this
};

std::once_flag reserveOnce;
State* state = nullptr;

[[noreturn]] void fatal(const char* what) {
  std::fprintf(stderr,
               "Quorvane Fatal Error: cannot reserve the 68K memory arena at 0x%08X-0x%08X (%s: %s).\n"
               "Another mapping occupies that range; the program is now terminating.\n",
               Arena68K::kBase, Arena68K::kEnd - 1, what, std::strerror(errno));
  std::exit(1);
}

void doReserve() {
  void* want = reinterpret_cast<void*>(std::uintptr_t(Arena68K::kBase));
  void* got = mmap(want, Arena68K::kSize, PROT_NONE,
                   MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE | MAP_FIXED_NOREPLACE, -1, 0);
  if (got == MAP_FAILED) fatal("mmap");
  if (got != want) {
    munmap(got, Arena68K::kSize);
    errno = EEXIST;
    fatal("mmap placed it elsewhere");
  }
  state = new State;
}

State& arena() {
  reserve();
  return *state;
}

void* host(std::uint32_t a) { return reinterpret_cast<void*>(std::uintptr_t(a)); }
std::uint32_t emu(const void* p) { return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(p)); }

bool makeAccessible(std::uint32_t from, std::uint32_t to) {
  return mprotect(host(from), to - from, PROT_READ | PROT_WRITE) == 0;
}
}  // namespace

void reserve() { std::call_once(reserveOnce, doReserve); }
bool isReserved() { return state != nullptr; }
std::size_t pageSize() { return arena().pages.granule(); }

void* allocate(std::size_t bytes) {
  if (bytes >= kHeapEnd - Arena68K::kBase) return nullptr;
  State& s = arena();
  std::uint32_t block;
  std::uint32_t size;
  {
    std::lock_guard<std::mutex> guard(s.lock);
    block = s.heap.allocate(static_cast<std::uint32_t>(bytes));
    if (block == 0) return nullptr;
    size = s.heap.blockSize(block);
    std::uint32_t end = block + size;
    if (end > s.heapCommitted) {
      std::uint32_t page = s.pages.granule();
      std::uint32_t newTop = (end + page - 1) / page * page;
      if (!makeAccessible(s.heapCommitted, newTop)) {
        s.heap.release(block);
        return nullptr;
      }
      s.heapCommitted = newTop;
    }
  }
  std::memset(host(block), 0, size);
  return host(block);
}

void release(void* p) {
  if (!p) return;
  State& s = arena();
  std::lock_guard<std::mutex> guard(s.lock);
  s.heap.release(emu(p));
}

std::size_t usableSize(const void* p) {
  if (!p || !Arena68K::inArena(emu(p))) return 0;
  State& s = arena();
  std::lock_guard<std::mutex> guard(s.lock);
  return s.heap.blockSize(emu(p));
}

void* allocatePages(std::size_t bytes) {
  if (bytes == 0 || bytes >= kPageRegionSize) return nullptr;
  State& s = arena();
  std::lock_guard<std::mutex> guard(s.lock);
  std::uint32_t block = s.pages.allocate(static_cast<std::uint32_t>(bytes));
  if (block == 0) return nullptr;
  if (!makeAccessible(block, block + s.pages.blockSize(block))) {
    s.pages.release(block);
    return nullptr;
  }
  return host(block);
}

void releasePages(void* p) {
  if (!p) return;
  State& s = arena();
  std::lock_guard<std::mutex> guard(s.lock);
  std::uint32_t size = s.pages.release(emu(p));
  // Released pages become inaccessible again and give their memory back.
  if (size) mmap(p, size, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE | MAP_FIXED, -1, 0);
}

std::size_t pageRunSize(const void* p) {
  if (!p || !Arena68K::inArena(emu(p))) return 0;
  State& s = arena();
  std::lock_guard<std::mutex> guard(s.lock);
  return s.pages.blockSize(emu(p));
}

std::size_t freeBytes() {
  State& s = arena();
  std::lock_guard<std::mutex> guard(s.lock);
  return s.heap.freeBytes();
}
}  // namespace Arena

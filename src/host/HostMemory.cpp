#include "host/HostMemory.h"
#include <sys/mman.h>
#include <cstdint>
#include <cstring>
#include "host/Reporting.h"
#include "host/arena/Arena.h"

void* MALLOC(unsigned long n) { return Arena::allocate(n); }
void FREE(void* p) { Arena::release(p); }
std::size_t MALLOC_SIZE(const void* p) { return Arena::usableSize(p); }

namespace {
constexpr unsigned long kHeaderBytes = 4;

unsigned char* chunkStart(void* p) { return static_cast<unsigned char*>(p) - kHeaderBytes; }
}  // namespace

void* allocExecutableMemory(unsigned long size) {
  unsigned long page = Arena::pageSize();
  unsigned long mapped = (size + kHeaderBytes + page - 1) / page * page;
  auto start = static_cast<unsigned char*>(Arena::allocatePages(mapped));
  if (!start) {
    WarningF("memoryMgr: Failed to allocate executable chunk");
    return nullptr;
  }
  if (mprotect(start, mapped, PROT_READ | PROT_WRITE | PROT_EXEC) != 0) {
    Arena::releasePages(start);
    WarningF("memoryMgr: Failed to allocate executable chunk");
    return nullptr;
  }
  std::uint32_t usable = static_cast<std::uint32_t>(mapped - kHeaderBytes);
  std::memcpy(start, &usable, sizeof usable);
  return start + kHeaderBytes;
}

unsigned long getExecutableMemoryChunkSize(void* p) {
  std::uint32_t usable;
  std::memcpy(&usable, chunkStart(p), sizeof usable);
  return usable;
}

void freeExecutableMemory(void* p) {
  unsigned char* start = chunkStart(p);
  if (Arena::pageRunSize(start) == 0) {
    WarningF("memoryMgr: Executable chunk not freed");
    return;
  }
  Arena::releasePages(start);
}

void writeProtectExecutableMemory(bool protect, void* p) {
  unsigned char* start = chunkStart(p);
  std::size_t length = Arena::pageRunSize(start);
  int rights = protect ? (PROT_READ | PROT_EXEC) : (PROT_READ | PROT_WRITE | PROT_EXEC);
  if (length == 0 || mprotect(start, length, rights) != 0)
    WarningF("memoryMgr: Failed to enable/disable write protection for executable chunk");
}

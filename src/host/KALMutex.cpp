// Kernel mutexes for native code: recursive locks behind 32-bit handles.
#include <mutex>
#include <unordered_map>
#include <memory>
#include "host/Threads.h"

namespace {
struct MutexTable {
  std::mutex lock;
  std::unordered_map<std::uint32_t, std::unique_ptr<std::recursive_mutex>> mutexes;
  std::uint32_t nextHandle = 1;
};

MutexTable& table() {
  static MutexTable t;
  return t;
}

std::recursive_mutex* find(std::uint32_t handle) {
  MutexTable& t = table();
  std::lock_guard<std::mutex> guard(t.lock);
  auto it = t.mutexes.find(handle);
  return it == t.mutexes.end() ? nullptr : it->second.get();
}

constexpr std::uint16_t kNotCreated = 0xFFFF;
}  // namespace

std::uint16_t KALMutexCreate(std::uint32_t* handleOut, std::uint32_t /*tag*/) {
  if (!handleOut) return kNotCreated;
  MutexTable& t = table();
  std::lock_guard<std::mutex> guard(t.lock);
  std::uint32_t handle = t.nextHandle++;
  t.mutexes.emplace(handle, std::make_unique<std::recursive_mutex>());
  *handleOut = handle;
  return 0;
}

// An unknown handle is ignored rather than dereferenced.
std::uint16_t KALMutexReserve(std::uint32_t handle) {
  if (auto* m = find(handle)) m->lock();
  return 0;
}

std::uint16_t KALMutexRelease(std::uint32_t handle) {
  if (auto* m = find(handle)) m->unlock();
  return 0;
}

std::uint16_t KALMutexDelete(std::uint32_t handle) {
  MutexTable& t = table();
  std::lock_guard<std::mutex> guard(t.lock);
  t.mutexes.erase(handle);
  return 0;
}

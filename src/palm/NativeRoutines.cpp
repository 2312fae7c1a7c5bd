#include "palm/NativeRoutines.h"
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace NativeRoutines {
namespace {
struct Registry {
  std::mutex lock;
  std::vector<void*> byIndex;
  std::unordered_map<void*, UInt32> byPointer;
};

Registry& registry() {
  static Registry r;
  return r;
}
}  // namespace

UInt32 tokenFor(void* p) {
  Registry& r = registry();
  std::lock_guard<std::mutex> guard(r.lock);
  auto found = r.byPointer.find(p);
  if (found != r.byPointer.end()) return found->second;
  if (r.byIndex.size() >= kTokenLimit - kTokenBase) {
    std::fprintf(stderr, "Fatal Error: native routine registry is full\n");
    std::abort();
  }
  UInt32 token = kTokenBase + static_cast<UInt32>(r.byIndex.size());
  r.byIndex.push_back(p);
  r.byPointer.emplace(p, token);
  return token;
}

void* lookup(UInt32 token) {
  if (!isToken(token)) return nullptr;
  Registry& r = registry();
  std::lock_guard<std::mutex> guard(r.lock);
  UInt32 index = token - kTokenBase;
  return index < r.byIndex.size() ? r.byIndex[index] : nullptr;
}
}  // namespace NativeRoutines

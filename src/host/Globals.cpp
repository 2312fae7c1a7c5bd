#include "host/Globals.h"

#include <atomic>

namespace {
std::atomic<void*> global[kModuleCount];
struct EmptyGlobals {};
EmptyGlobals emptyBlocks[kModuleCount];
}  // namespace

void setGlobals(ModuleId id, void* block) { global[static_cast<int>(id)] = block; }
void* getGlobals(ModuleId id) { return global[static_cast<int>(id)]; }

bool RegisterEmptyGlobals(ModuleId id) {
  setGlobals(id, &emptyBlocks[static_cast<int>(id)]);
  return true;
}

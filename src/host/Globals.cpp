#include "host/Globals.h"
#include <atomic>

namespace {
std::atomic<void*> global[kModuleCount];
}

void setGlobals(ModuleId id, void* block) { global[static_cast<int>(id)] = block; }
void* getGlobals(ModuleId id) { return global[static_cast<int>(id)]; }

#include "host/Startup.h"
#include "host/FaultHandler.h"
#include "host/HostPaths.h"
#include "host/arena/Arena.h"
#include "platform/Platform.h"

void HostStartup(const char* argv0) {
  SetExecutablePath(argv0);
  Arena::reserve();
  installFaultHandler();
  ensureSignalStack();
  Platform::setMainThread();
}

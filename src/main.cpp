// The quorvane program.
#include <cstdio>
#include "host/HostPaths.h"
#include "host/Startup.h"
#include "host/arena/Arena.h"
#include "palm/Address.h"
#include "platform/Platform.h"

int main(int argc, char** argv) {
  HostStartup(argc > 0 ? argv[0] : nullptr);
  Platform::useBackend(Platform::makeHeadlessBackend());
  std::printf("Quorvane: %s back-end\n", Platform::backend().name());
  std::printf("Quorvane: 68K arena at 0x%08X-0x%08X, %zu bytes free\n", Arena68K::kBase, Arena68K::kEnd - 1,
              Arena::freeBytes());
  std::printf("Quorvane: bundle %s\n", HostPaths::bundle().c_str());
  std::printf("Quorvane: databases directory %s\n", HostPaths::databases().c_str());
  std::printf("Quorvane: no application can run yet; exiting\n");
  return 0;
}

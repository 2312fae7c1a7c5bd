// The quorvane program: starts the system on the emulator thread, runs the
// start application (or the one named with --launch) and closes the system
// down, saving every changed database. The main thread runs the platform
// back-end's loop meanwhile.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "host/AppThread.h"
#include "host/HostPaths.h"
#include "host/Startup.h"
#include "platform/Platform.h"

namespace {

// Exit statuses; a fatal error inside the system exits with 1 as well.
constexpr int kExitRan = 0;
constexpr int kExitStartupFailed = 1;
constexpr int kExitAppNotFound = 2;
constexpr int kExitSaveFailed = 3;
constexpr int kExitLaunchFailed = 4;
constexpr int kExitUsage = 64;

constexpr unsigned long kEmulatorThreadStack = 1024 * 1024;

struct Options {
  const char* home = nullptr;
  const char* launch = nullptr;
};

int usage(const char* problem) {
  std::fprintf(stderr, "quorvane: %s\nusage: quorvane [--home DIR] [--launch NAME] [--headless]\n", problem);
  return kExitUsage;
}

bool parse(int argc, char** argv, Options& o, int& status) {
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    if (std::strcmp(a, "--headless") == 0) continue;  // the only back-end so far
    const bool home = std::strcmp(a, "--home") == 0, launch = std::strcmp(a, "--launch") == 0;
    if (!home && !launch) return status = usage((std::string("unknown argument ") + a).c_str()), false;
    if (i + 1 == argc) return status = usage((std::string(a) + " needs a value").c_str()), false;
    (home ? o.home : o.launch) = argv[++i];
  }
  return true;
}

int report(SystemOutcome outcome, const Options& o) {
  const std::string dir = HostPaths::databases();
  switch (outcome) {
    case SystemOutcome::Ran:
      std::printf("Quorvane: closed down; databases saved\n");
      return kExitRan;
    case SystemOutcome::NothingToLaunch:
      if (o.launch) {
        std::fprintf(stderr, "Quorvane: no application \"%s\" in %s\n", o.launch, dir.c_str());
        return kExitAppNotFound;
      }
      std::printf(
          "Quorvane: no start application \"%s\" in %s yet; the system started and closed down, "
          "databases saved\n",
          kDefaultLaunchAppDbName, dir.c_str());
      return kExitRan;
    case SystemOutcome::LaunchFailed:
      std::fprintf(stderr, "Quorvane: \"%s\" could not be launched (error 0x%04X)\n",
                   o.launch ? o.launch : kDefaultLaunchAppDbName, AppThread::launchError());
      return kExitLaunchFailed;
    case SystemOutcome::StartupFailed:
      std::fprintf(stderr, "Quorvane: start-up failed\n");
      return kExitStartupFailed;
    case SystemOutcome::SaveFailed:
      std::fprintf(stderr, "Quorvane: some databases could not be saved in %s\n", dir.c_str());
      return kExitSaveFailed;
    case SystemOutcome::Running:
      break;
  }
  return kExitStartupFailed;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  int status = kExitRan;
  if (!parse(argc, argv, options, status)) return status;
  if (options.home) setenv("QUORVANE_HOME", options.home, 1);
  HostStartup(argc > 0 ? argv[0] : nullptr);
  Platform::useBackend(Platform::makeHeadlessBackend());
  Platform::setMainThread();
  const std::string dir = HostPaths::databases();
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  if (error) {
    std::fprintf(stderr, "Quorvane: cannot create the databases directory %s: %s\n", dir.c_str(),
                 error.message().c_str());
    return kExitStartupFailed;
  }
  std::printf("Quorvane: %s back-end, databases directory %s\n", Platform::backend().name(), dir.c_str());
  std::fflush(stdout);
  appThread.start(AppThread::NewThread, 0, const_cast<char*>(options.launch), kEmulatorThreadStack, ThreadStack::Arena);
  Platform::runMainLoop([] { return appThread.isRunning(); });
  return report(AppThread::outcome(), options);
}

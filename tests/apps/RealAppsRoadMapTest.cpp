// The published applications of ../shared/testapps/apps, launched whole
// through the quorvane program: their globals are built and their code runs
// until the first system call into a manager that does not exist yet, where
// the program stops naming that trap. The table is the road map of the
// managers still to build; when a manager arrives, the application gets
// further and its row moves on to the next trap it meets.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <ostream>
#include <string>

#include "emulator/trap/TrapDispatcher.h"
#include "host/HostPaths.h"
#include "palm/PdbFormat.h"
#include "palm/SystemTraps.h"
#include "support/PalmApps.h"
#include "support/QuorvaneProgram.h"
#include "support/SharedData.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

struct RoadMapRow {
  const char* file;
  UInt16 firstMissingTrap;  // 0: the application stops for another reason
  const char* stop;         // what the run reports when it stops
};

constexpr RoadMapRow kRoadMap[] = {
    {"AquaPort.prc", 0xA33E, "Unsupported system trap (OxA33E) called"},             // WinScreenMode
    {"Boidz.prc", 0xA2D3, "Unsupported system trap (OxA2D3) called"},                // PrefGetAppPreferences
    {"CellulA-1.prc", 0xA2D3, "Unsupported system trap (OxA2D3) called"},            // PrefGetAppPreferences
    // Its reset launch (no globals: A5 = 0) writes a global through A5.
    {"Dots.prc", 0, "Fatal Error: Illegal memory access"},
    {"MiniGolf_lowres.prc", 0xA33E, "Unsupported system trap (OxA33E) called"},      // WinScreenMode
    {"PBrickRemote.prc", 0xA367, "Unsupported system trap (OxA367) called with selector 1"},  // SrmOpen
    {"Reflect.prc", 0xA2D3, "Unsupported system trap (OxA2D3) called"},              // PrefGetAppPreferences
    {"hello-v1.prc", 0xA220, "Unsupported system trap (OxA220) called"},             // WinDrawChars
    {"meminfo.prc", 0xA19B, "Unsupported system trap (OxA19B) called"},              // FrmGotoForm
    {"mulg.prc", 0xA33E, "Unsupported system trap (OxA33E) called"},                 // WinScreenMode
    {"nettest.prc", 0xA19B, "Unsupported system trap (OxA19B) called"},              // FrmGotoForm
};

void PrintTo(const RoadMapRow& row, std::ostream* os) { *os << row.file; }

std::string databaseName(const fs::path& prc) {
  PdbDatabase db;
  std::string error;
  EXPECT_TRUE(ReadPdbImage(ReadFileBytes(prc), db, error)) << prc << ": " << error;
  return db.name;
}

// A databases directory holding every published application and library.
class RealApps : public testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(HostPaths::databases());
    for (const auto& entry : fs::directory_iterator(SharedDataPath("testapps/apps")))
      fs::copy_file(entry.path(), fs::path(HostPaths::databases()) / entry.path().filename());
  }
  TempHome home;
};

class RoadMap : public RealApps, public testing::WithParamInterface<RoadMapRow> {};

TEST_P(RoadMap, RunsUntilItsFirstCallIntoAMissingManager) {
  const RoadMapRow& row = GetParam();
  const std::string name = databaseName(SharedDataPath(std::string("testapps/apps/") + row.file));
  ProgramRun run = RunQuorvane(home.path(), {"--headless", "--launch", name});

  EXPECT_NE(run.status, 0) << run.output;
  EXPECT_EQ(run.output.find("Invalid global initialization."), std::string::npos) << run.output;
  EXPECT_NE(run.output.find(row.stop), std::string::npos) << row.file << " no longer stops with \"" << row.stop
                                                           << "\": update the road map\n" << run.output;
  if (row.firstMissingTrap) {
    TrapDispatcher::Init();
    EXPECT_FALSE(TrapDispatcher::IsServed(row.firstMissingTrap)) << "stopped at a trap that is served";
  }
}

INSTANTIATE_TEST_SUITE_P(PublishedApplications, RoadMap, testing::ValuesIn(kRoadMap),
                         [](const testing::TestParamInfo<RoadMapRow>& info) {
                           std::string n = info.param.file;
                           for (char& c : n)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return n;
                         });

// Libraries and the system extension are databases with code, not applications.
TEST_F(RealApps, DatabasesThatAreNotApplicationsAreRefusedCleanly) {
  for (const char* file : {"MathLib.prc", "PBrickLib.prc", "nostreak.prc"}) {
    const std::string name = databaseName(SharedDataPath(std::string("testapps/apps/") + file));
    ProgramRun run = RunQuorvane(home.path(), {"--launch", name});
    EXPECT_EQ(run.status, 4) << file << ": " << run.output;
    EXPECT_NE(run.output.find("could not be launched (error 0x0502)"), std::string::npos) << file << ": " << run.output;
  }
  ProgramRun defaults = RunQuorvane(home.path(), {});
  EXPECT_EQ(defaults.status, 0) << "every published file in the directory, nothing launched: " << defaults.output;
}

}  // namespace

// The whole system, headless, through the quorvane program: a test
// application put into a fresh databases directory is launched (its reset
// launch, then its normal launch), keeps its results in a database of its
// own, and finds them again in the next run.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host/HostPaths.h"
#include "palm/Endian.h"
#include "palm/PdbFormat.h"
#include "support/PalmApps.h"
#include "support/QuorvaneProgram.h"
#include "support/SharedData.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

constexpr UInt32 kResetTag = 0x52534554;  // 'RSET'
constexpr UInt32 kRunTag = 0x52554E21;    // 'RUN!'

// The 'RUN!' record of apps/tests/LaunchProbe.c.
struct RunRecord {
  UInt16 recordsBefore, longJump;
  UInt32 caught;
  Int32 floatResult;
  UInt32 subResult;
  UInt16 subFlags, subOwner, subSawGlobal, ownFlags, ownOwner;
};

RunRecord decodeRun(const std::vector<UInt8>& d) {
  EXPECT_EQ(d.size(), 32u);
  if (d.size() < 32) return {};
  const UInt8* p = d.data();
  return {get16(p + 4),  get16(p + 6),  get32(p + 8),  static_cast<Int32>(get32(p + 12)),
          get32(p + 16), get16(p + 20), get16(p + 22), get16(p + 24),
          get16(p + 26), get16(p + 28)};
}

class LaunchEndToEnd : public testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(databases());
    fs::copy_file(PalmAppsPath("LaunchProbe.prc"), databases() / "LaunchProbe.prc");
  }

  fs::path databases() const { return fs::path(HostPaths::databases()); }

  // The saved probe database, read back from its host file.
  PdbDatabase probeDatabase() {
    for (const auto& entry : fs::directory_iterator(databases())) {
      const std::string name = entry.path().filename().string();
      if (name.rfind("LPrb#", 0) != 0 || entry.path().extension() != ".qvn") continue;
      PdbDatabase db;
      std::string error;
      EXPECT_TRUE(ReadPdbImage(ReadFileBytes(entry.path()), db, error)) << error;
      return db;
    }
    ADD_FAILURE() << "no file holds the database LPrb";
    return {};
  }

  static UInt32 tagOf(const PdbRecord& r) { return r.data.size() >= 4 ? get32(r.data.data()) : 0; }

  TempHome home;
};

TEST_F(LaunchEndToEnd, RunsTheApplicationAndItsDatabaseSurvivesTheNextRun) {
  ProgramRun first = RunQuorvane(home.path(), {"--headless", "--launch", "LaunchProbe"});
  ASSERT_EQ(first.status, 0) << first.output;
  EXPECT_NE(first.output.find("databases saved"), std::string::npos) << first.output;
  EXPECT_FALSE(fs::exists(databases() / "LaunchProbe.prc")) << "the plain .prc was not taken in";

  PdbDatabase db = probeDatabase();
  ASSERT_EQ(db.records.size(), 2u);
  EXPECT_EQ(tagOf(db.records[0]), kResetTag) << "the reset launch comes first";
  ASSERT_EQ(tagOf(db.records[1]), kRunTag);
  RunRecord run = decodeRun(db.records[1].data);
  EXPECT_EQ(run.recordsBefore, 1);
  EXPECT_EQ(run.longJump, 5) << "ErrSetJump after ErrLongJump(buffer, 5)";
  EXPECT_EQ(run.caught, 0x1234u) << "ErrThrow caught by its ErrTry block";
  EXPECT_EQ(run.floatResult, 14) << "7 / 2 * 4 through the Float Manager";
  EXPECT_EQ(run.ownFlags, 0x8E) << "new stack, new globals, UI application, data relocated";
  EXPECT_EQ(run.ownOwner, 4);
  EXPECT_EQ(run.subResult, 0x5ABu) << "the sub-launch's result comes back";
  EXPECT_EQ(run.subFlags, 0x12) << "a sub-call with a new stack";
  EXPECT_EQ(run.subOwner, 5);
  EXPECT_EQ(run.subSawGlobal, 1) << "the sub-call shares the running launch's globals";

  ProgramRun second = RunQuorvane(home.path(), {"--headless", "--launch", "LaunchProbe"});
  ASSERT_EQ(second.status, 0) << second.output;
  db = probeDatabase();
  ASSERT_EQ(db.records.size(), 4u);
  EXPECT_EQ(tagOf(db.records[2]), kResetTag) << "a new process gives the reset launch again";
  ASSERT_EQ(tagOf(db.records[3]), kRunTag);
  EXPECT_EQ(decodeRun(db.records[3].data).recordsBefore, 3) << "the second run found the first run's records";
}

TEST_F(LaunchEndToEnd, PlainDatabaseFilesAreTakenInAtStartUp) {
  fs::copy_file(SharedDataPath("testapps/data/Barking.pdb"), databases() / "Barking.pdb");
  fs::copy_file(SharedDataPath("testapps/data/lbPG-tutorial.PDB"), databases() / "lbPG-tutorial.PDB");
  ProgramRun run = RunQuorvane(home.path(), {});
  ASSERT_EQ(run.status, 0) << run.output;
  int taken = 0;
  for (const auto& entry : fs::directory_iterator(databases())) {
    const std::string name = entry.path().filename().string();
    EXPECT_NE(entry.path().extension(), ".pdb") << name;
    EXPECT_NE(entry.path().extension(), ".PDB") << name;
    EXPECT_NE(entry.path().extension(), ".prc") << name;
    taken +=
        name.rfind("The Barking Toad#", 0) == 0 || name.rfind("LaunchProbe#", 0) == 0 || name.rfind("lbPG", 0) == 0;
  }
  EXPECT_EQ(taken, 3) << "each file under the system's own name";
}

TEST_F(LaunchEndToEnd, ExitStatusTellsWhatHappened) {
  ProgramRun missing = RunQuorvane(home.path(), {"--launch", "NoSuchApplication"});
  EXPECT_EQ(missing.status, 2) << missing.output;
  EXPECT_NE(missing.output.find("Unable to find application NoSuchApplication. Launch failed."), std::string::npos)
      << missing.output;

  // Without a start application the default run starts the system and closes it down cleanly.
  ProgramRun defaults = RunQuorvane(home.path(), {});
  EXPECT_EQ(defaults.status, 0) << defaults.output;
  EXPECT_NE(defaults.output.find("no start application \"ZADezuze\""), std::string::npos) << defaults.output;

  // A home that cannot hold a databases directory fails the start-up.
  const fs::path notAFolder = home.path() / "file";
  { std::ofstream(notAFolder) << "x"; }
  ProgramRun unusable = RunQuorvane(notAFolder, {});
  EXPECT_EQ(unusable.status, 1) << unusable.output;
  EXPECT_NE(unusable.output.find("cannot create the databases directory"), std::string::npos) << unusable.output;

  ProgramRun usage = RunQuorvane(home.path(), {"--launch"});
  EXPECT_EQ(usage.status, 64) << usage.output;
  EXPECT_NE(usage.output.find("usage: quorvane"), std::string::npos) << usage.output;
}

}  // namespace

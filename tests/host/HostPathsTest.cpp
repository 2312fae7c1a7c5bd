#include <gtest/gtest.h>
#include <fstream>
#include "host/HostPaths.h"
#include "host/Settings.h"
#include "support/TempDir.h"

namespace {

void writeUserSettings(const TempHome& home, const std::string& text) {
  std::ofstream(home.path() / "Settings.txt") << text;
}

TEST(HostPaths, DocumentsFollowQuorvaneHome) {
  TempHome home;
  char buf[1024];
  EXPECT_EQ(GetDocumentsPath(buf, sizeof buf), 1);
  EXPECT_EQ(std::string(buf), home.documents());
  EXPECT_EQ(HostPaths::inbox(), HostPaths::bundle() + "inbox/");
}

TEST(HostPaths, DatabasesAndCardFolderFollowTheBundleKeys) {
  struct Case {
    const char* settings;
    const char* databases;
    const char* card;
  } cases[] = {
      {"QuorvaneSeparateDBSubdir=false\nQuorvaneVFSVirtualCard=true\n", "", "VirtualCard"},
      {"QuorvaneSeparateDBSubdir=true\n", "db/", "VirtualCard"},
      {"QuorvaneVFSVirtualCard=false\nQuorvaneSeparateDBSubdir=0\n", "", nullptr},
  };
  for (const Case& c : cases) {
    TempHome home;
    writeUserSettings(home, c.settings);
    char buf[1024];
    GetDatabasesPath(buf, sizeof buf);
    EXPECT_EQ(std::string(buf), home.documents() + c.databases) << c.settings;
    GetObjectStorePath(buf, sizeof buf);
    EXPECT_EQ(std::string(buf), c.card ? home.documents() + c.card : home.path().string()) << c.settings;
  }
}

TEST(HostPaths, BundleDefaultsSeparateDatabases) {
  TempHome home;  // no user settings: the bundle's Settings.txt decides
  EXPECT_EQ(HostPaths::databases(), home.documents() + "db/");
}

TEST(HostPaths, ShortBufferCutsAndTerminates) {
  char buf[8];
  EXPECT_EQ(GetInstallDir(buf, sizeof buf), 0);
  EXPECT_EQ(std::string(buf), HostPaths::bundle().substr(0, 7));
  char whole[1024];
  EXPECT_EQ(GetInstallDir(whole, sizeof whole), 1);
}

TEST(HostPaths, FileWrappersKeepTheError) {
  TempHome home;
  std::string missing = home.documents() + "missing";
  EXPECT_EQ(Remove(missing.c_str()), 1);
  EXPECT_EQ(PosixErrno(), ENOENT);
  EXPECT_EQ(Rename(missing.c_str(), (missing + "2").c_str()), 1);
  EXPECT_EQ(Opendir(missing.c_str()), nullptr);
  EXPECT_EQ(Mkdir((home.documents() + "sub").c_str()), 0);
  EXPECT_EQ(Mkdir((home.documents() + "sub").c_str()), -1);
  EXPECT_EQ(PosixErrno(), EEXIST);
  EXPECT_STRNE(Strerror(EEXIST), "");
}

TEST(HostPaths, ClosedirOfNullLeavesTheKeptError) {
  PosixErrno() = 1234;
  EXPECT_EQ(Closedir(nullptr), -1);
  EXPECT_EQ(PosixErrno(), 1234);
}

TEST(Settings, UserValuesOverrideBundleAndPersist) {
  TempHome home;
  EXPECT_EQ(Settings::get("CFBundleVersion").value_or(""), "1.0");
  EXPECT_FALSE(Settings::get("keyForBundleVersion"));
  ASSERT_TRUE(Settings::set("keyForBundleVersion", "1.0"));
  ASSERT_TRUE(Settings::set("CFBundleVersion", "2.0"));
  EXPECT_EQ(Settings::get("keyForBundleVersion").value_or(""), "1.0");
  EXPECT_EQ(Settings::get("CFBundleVersion").value_or(""), "2.0");
  EXPECT_TRUE(Settings::getBool("missing", true));
}

}  // namespace

// Published 68K shared libraries loaded with SysLibLoad by 68K code, found by
// name, called through library traps and removed.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <filesystem>

#include "emulator/PalmAppFixture.h"
#include "host/HostPaths.h"
#include "palm/ErrorCodes.h"
#include "storage/loadsavedatabases.h"
#include "storage/quorvanefile.h"
#include "support/SharedData.h"

namespace {

class SharedLibrary : public PalmAppFixture {
 protected:
  void SetUp() override {
    PalmAppFixture::SetUp();
    std::filesystem::create_directories(HostPaths::databases());
    InstallDatabaseFiles(HostPaths::databases());
    loadApp("LibProbe");
    report = static_cast<UInt8*>(MemPtrNew(64));
  }

  void install(const char* file) {
    std::vector<UInt8> image = ReadFileBytes(SharedDataPath(std::string("testapps/apps/") + file));
    void* chunk = MemPtrNew(static_cast<UInt32>(image.size()));
    std::memcpy(chunk, image.data(), image.size());
    ASSERT_EQ(DmCreateDatabaseFromImage(chunk), errNone) << file;
    MemPtrFree(chunk);
  }

  void probe(const char* function) {
    cpu->pushLong(toEmu(report));
    cpu->call(functionAddress(function), 4);
  }

  UInt16 word(UInt32 offset) const { return get16(report + offset); }
  double dbl(UInt32 offset) const {
    return std::bit_cast<double>((std::uint64_t{get32(report + offset)} << 32) | get32(report + offset + 4));
  }

  UInt8* report = nullptr;
};

TEST_F(SharedLibrary, MathLibIsLoadedCalledAndRemoved) {
  install("MathLib.prc");
  probe("ProbeMathLib");
  ASSERT_EQ(word(0), errNone) << "SysLibLoad";
  EXPECT_NE(word(2), kNoLibRefNum);
  EXPECT_EQ(word(4), word(2)) << "SysLibFind gives the loaded library's reference";
  EXPECT_EQ(word(6), errNone) << "MathLibOpen";
  EXPECT_EQ(word(8), errNone) << "MathLibSqrt";
  EXPECT_EQ(word(10), errNone) << "MathLibPow";
  EXPECT_EQ(dbl(12), std::sqrt(2.0));
  EXPECT_EQ(dbl(20), 1024.0);
  EXPECT_EQ(word(28), errNone) << "MathLibClose";
  EXPECT_EQ(word(30), 0) << "no user left";
  EXPECT_EQ(word(32), errNone) << "SysLibRemove";
  EXPECT_NE(word(34), errNone) << "gone from the table";
}

TEST_F(SharedLibrary, PBrickLibIsLoadedFoundAndRemoved) {
  install("PBrickLib.prc");
  probe("ProbePBrickLib");
  ASSERT_EQ(word(0), errNone) << "SysLibLoad";
  EXPECT_EQ(word(4), word(2)) << "found under its own name";
  EXPECT_EQ(word(6), 1) << "its table entry holds its dispatch table";
  EXPECT_EQ(word(8), errNone) << "SysLibRemove";
  EXPECT_NE(word(10), errNone) << "gone from the table";
}

TEST_F(SharedLibrary, ALibraryThatIsNotThereIsNotLoaded) {
  probe("ProbeMathLib");
  EXPECT_NE(word(0), errNone);
}

// Null arguments from an application are refused, never written through.
TEST_F(SharedLibrary, FindRefusesAMissingNameOrReferenceVariable) {
  constexpr Err kParamErr = sysErrorClass | 2;
  UInt16 refNum = 7;
  EXPECT_EQ(SysLibFind("Net.lib", nullptr), kParamErr);
  EXPECT_EQ(SysLibFind("No such library", nullptr), kParamErr);
  EXPECT_EQ(SysLibFind(nullptr, &refNum), kParamErr);
  EXPECT_EQ(refNum, 7);
  EXPECT_EQ(SysLibFind("Net.lib", &refNum), errNone);
}

}  // namespace

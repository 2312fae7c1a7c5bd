// Building an application's globals world from its 'code' 0 and 'data' 0
// resources in its database, the stack size from 'pref' 0, and the published
// applications' worlds.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "emulator/LaunchFixture.h"
#include "emulator/launch/StartupResources.h"
#include "palm/Address.h"
#include "storage/memorymgr.h"
#include "storage/quorvanefile.h"
#include "support/PalmApps.h"
#include "support/RecordingBackend.h"
#include "support/SharedData.h"

namespace {

class CreateGlobals : public LaunchFixture {
 protected:
  void SetUp() override {
    LaunchFixture::SetUp();
    code = static_cast<UInt8*>(MemPtrNew(16));
  }
  void TearDown() override {
    if (db) DmCloseDatabase(db);
    MemPtrFree(code);
    LaunchFixture::TearDown();
  }

  Err build(std::initializer_list<Resource> resources) {
    db = DmOpenDatabase(0, makeApp("World", resources), dmModeReadOnly);
    EXPECT_NE(db, nullptr);
    liveBeforeGlobals = liveChunks();
    return createGlobals(db, code, &a5, &block);
  }

  UInt8* atA5(Int32 offset) const { return static_cast<UInt8*>(fromEmu(a5)) + offset; }

  static std::vector<UInt8> code0(UInt32 above, UInt32 below) { return longs({above, below, 0, 0}); }

  // 'data' 0 from its parts: the skipped long, then the given bytes.
  static std::vector<UInt8> data0(std::initializer_list<UInt8> bytes) {
    std::vector<UInt8> d(4, 0);
    d.insert(d.end(), bytes);
    return d;
  }

  UInt8* code = nullptr;  // stands in for the locked 'code' 1
  DmOpenRef db = nullptr;
  UInt32 a5 = 0xDEAD;
  void* block = reinterpret_cast<void*>(1);
  UInt32 liveBeforeGlobals = 0;
};

TEST_F(CreateGlobals, WithoutCode0TheApplicationHasNoGlobals) {
  EXPECT_EQ(build({}), errNone);
  EXPECT_EQ(a5, 0u);
  EXPECT_EQ(block, nullptr);
}

TEST_F(CreateGlobals, WithoutData0TheGlobalsAreZero) {
  ASSERT_EQ(build({{FourCCs::code, 0, code0(8, 16)}}), errNone);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(MemPtrSize(block), 8u + 16u + 256u) << "above, below and 256 spare bytes";
  EXPECT_EQ(a5, toEmu(block) + 16);
  for (UInt32 i = 0; i < MemPtrSize(block); ++i) ASSERT_EQ(static_cast<UInt8*>(block)[i], 0) << i;
  MemPtrFree(block);
}

TEST_F(CreateGlobals, UnpacksTheBlocksAndRelocatesPointersToGlobalsAndToCode) {
  ASSERT_EQ(
      build({{FourCCs::code, 0, code0(16, 16)},
             {FourCCs::data, 0,
              data0({0xFF, 0xFF, 0xFF, 0xF0, 0x83, 0x11, 0x22, 0x33, 0x44, 0x00,  // A5-16: 4 literal bytes
                     0x00, 0x00, 0x00, 0x04, 0x87, 0,    0,    0,    0x10, 0,    0, 0, 0x20, 0x00,  // A5+4: two longs
                     0x00, 0x00, 0x00, 0x00, 0x00,                                                  // an empty block
                     0,    0,    0,    1,    0x82,                                                  // list 1: A5+4
                     0,    0,    0,    1,    0x84})}}),                                             // list 2: A5+8
      errNone);
  EXPECT_EQ(get32(atA5(-16)), 0x11223344u);
  EXPECT_EQ(get32(atA5(4)), a5 + 0x10) << "a pointer to a global";
  EXPECT_EQ(get32(atA5(8)), toEmu(code) + 0x20) << "a pointer into the code";
  MemPtrFree(block);
}

struct BadWorld {
  const char* what;
  std::vector<UInt8> code0;
  std::vector<UInt8> data0;
};

class CreateGlobalsRefuses : public CreateGlobals, public testing::WithParamInterface<BadWorld> {};

TEST_P(CreateGlobalsRefuses, WithTheMessageAndTheError) {
  const BadWorld& w = GetParam();
  RecordedAlerts alerts;
  std::initializer_list<Resource> withData = {{FourCCs::code, 0, w.code0}, {FourCCs::data, 0, w.data0}};
  std::initializer_list<Resource> withoutData = {{FourCCs::code, 0, w.code0}};
  EXPECT_EQ(build(w.data0.empty() ? withoutData : withData), sysErrInvalidStartupResources) << w.what;
  EXPECT_EQ(block, nullptr);
  EXPECT_EQ(a5, 0u);
  EXPECT_EQ(liveChunks(), liveBeforeGlobals) << "no globals block left behind";
  ASSERT_EQ(alerts.alerts().size(), 1u);
  EXPECT_EQ(alerts.alerts()[0].second, "Invalid global initialization.");
}

std::vector<UInt8> bytes(std::initializer_list<UInt8> b) { return b; }
std::vector<UInt8> sizes(UInt32 above, UInt32 below) {
  return {UInt8(above >> 24),
          UInt8(above >> 16),
          UInt8(above >> 8),
          UInt8(above),
          UInt8(below >> 24),
          UInt8(below >> 16),
          UInt8(below >> 8),
          UInt8(below),
          0,
          0,
          0,
          0,
          0,
          0,
          0,
          0};
}

void PrintTo(const BadWorld& w, std::ostream* os) { *os << w.what; }

INSTANTIATE_TEST_SUITE_P(
    FormatErrors, CreateGlobalsRefuses,
    testing::Values(
        BadWorld{"'code' 0 shorter than its four sizes", bytes({0, 0, 0, 8, 0, 0, 0, 8, 0, 0, 0, 0}), {}},
        BadWorld{"sizes beyond any globals block", sizes(0xFFFFFF00, 0x100), {}},
        BadWorld{"a literal run past the end of 'data' 0", sizes(8, 8), bytes({0, 0, 0, 0, 0, 0, 0, 0, 0x85, 1, 2})},
        BadWorld{"a run written outside the block", sizes(8, 8), bytes({0, 0, 0, 0, 0, 0, 0x10, 0, 0x41, 0})},
        BadWorld{"an unknown run tag", sizes(8, 8), bytes({0, 0, 0, 0, 0, 0, 0, 0, 0x05, 0})},
        BadWorld{"a relocation target outside the block", sizes(8, 8),
                 bytes({0, 0, 0, 0,                                              // skipped
                        0, 0, 0, 0, 0,    0,    0,    0,   0, 0, 0, 0, 0, 0, 0,  // three empty blocks
                        0, 0, 0, 1, 0x00, 0x00, 0x10, 0x00})},                   // A5 + 0x2000
        BadWorld{"a relocation count past the end", sizes(8, 8),
                 bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})}));

struct StackCase {
  const char* what;
  std::vector<UInt8> pref;  // empty: no 'pref' 0
  UInt32 expected;
};

class StackSize : public LaunchFixture, public testing::WithParamInterface<StackCase> {};

TEST_P(StackSize, IsWhatPref0AsksForButAtLeast5120) {
  const StackCase& c = GetParam();
  LocalID id = c.pref.empty() ? makeApp("Stack", {}) : makeApp("Stack", {{FourCCs::pref, 0, c.pref}});
  DmOpenRef db = DmOpenDatabase(0, id, dmModeReadOnly);
  EXPECT_EQ(AppStackSize(db), c.expected) << c.what;
  DmCloseDatabase(db);
}

void PrintTo(const StackCase& c, std::ostream* os) { *os << c.what; }

INSTANTIATE_TEST_SUITE_P(Pref0, StackSize,
                         testing::Values(StackCase{"no 'pref' 0", {}, 5120},
                                         StackCase{"4,096 bytes asked", bytes({0, 30, 0, 0, 0x10, 0, 0, 0}), 5120},
                                         StackCase{"8,192 bytes asked", bytes({0, 30, 0, 0, 0x20, 0, 0, 0}), 8192},
                                         StackCase{"too short to hold the size", bytes({0, 30, 0x7F, 0, 0}), 5120}));

// Every published application's world builds from its own resources.
TEST_F(LaunchFixture, PublishedApplicationsGlobalsBuild) {
  for (const auto& entry : std::filesystem::directory_iterator(SharedDataPath("testapps/apps"))) {
    std::vector<UInt8> image = ReadFileBytes(entry.path());
    void* chunk = MemPtrNew(static_cast<UInt32>(image.size()));
    std::memcpy(chunk, image.data(), image.size());
    ASSERT_EQ(DmCreateDatabaseFromImage(chunk), errNone) << entry.path();
    MemPtrFree(chunk);
  }
  int applications = 0;
  for (UInt16 i = 0; i < DmNumDatabases(0); ++i) {
    LocalID id = DmGetDatabase(0, i);
    Char name[32] = {};
    UInt32 type = 0;
    DmDatabaseInfo(0, id, name, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &type, nullptr);
    if (type != FourCCs::appl) continue;
    ++applications;
    DmOpenRef db = DmOpenDatabase(0, id, dmModeReadOnly);
    MemHandle code1 = DmGet1Resource(FourCCs::code, 1);
    ASSERT_NE(code1, 0u) << name;
    UInt32 a5 = 0;
    void* block = nullptr;
    EXPECT_EQ(createGlobals(db, MemHandleLock(code1), &a5, &block), errNone) << name;
    EXPECT_NE(a5, 0u) << name;
    MemHandleUnlock(code1);
    DmReleaseResource(code1);
    if (block) MemPtrFree(block);
    DmCloseDatabase(db);
  }
  EXPECT_EQ(applications, 11);
}

}  // namespace

// The Feature Manager over real database files: the table, feature memory,
// and what survives a restart of the program.
#include <cstdlib>
#include <cstring>
#include <string>

#include "ImageSupport.h"
#include "StorageFixture.h"
#include "palm/ErrorCodes.h"
#include "palm/FourCC.h"
#include "storage/DATAMGR.h"
#include "storage/DatabaseFiles.h"
#include "storage/Feature.h"
#include "storage/StorageSeams.h"
#include "storage/loadsavedatabases.h"

namespace {
constexpr UInt32 kTest = fourCC("test");

class Features : public MemoryFixture {
 protected:
  static inline std::vector<std::pair<UInt16, UInt32>> services;
  static inline bool hostAnswersLocale = false;

  void SetUp() override {
    MemoryFixture::SetUp();
    services.clear();
    hostAnswersLocale = false;
    folder = scratchFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
    setFeatureHost({[](UInt32 creator, UInt16 number, UInt32* valueP) -> Err {
                      if (!hostAnswersLocale || creator != fourCC("ovly") || number != 5) return ftrErrNoSuchFeature;
                      *valueP = 7;
                      return errNone;
                    },
                    [](UInt16 service, UInt32 value) -> Err {
                      services.emplace_back(service, value);
                      return errNone;
                    }});
    start();
  }

  void TearDown() override {
    stop();
    setFeatureHost({});
    MemoryFixture::TearDown();
  }

  void start() {
    ASSERT_TRUE(DataMgrInit());
    InstallDatabaseFiles(folder.string());
    CreateDatabaseDirectoryEntries();
    ASSERT_TRUE(FeatureInit());
  }

  // Close-down as the program does it, then memory is gone.
  void stop() {
    CloseFeatureDatabase();
    ASSERT_TRUE(SaveDatabasesToFiles("test"));
    DataMgrTerminate();
    resetDatabaseFileOps();
    for (UInt16 heap = 0; heap < 2; ++heap)
      for (UInt16 owner = 0; owner < 16; ++owner) MemHeapFreeByOwnerID(heap, owner);
  }

  void restart() {
    stop();
    MemTerminate();
    ASSERT_TRUE(MemoryMgrInit());
    start();
  }

  static UInt32 get(UInt32 creator, UInt16 number) {
    UInt32 value = 0xDEADBEEF;
    EXPECT_EQ(FtrGet(creator, number, &value), errNone) << std::hex << creator << " " << number;
    return value;
  }

  fs::path folder;
};

TEST_F(Features, SystemFeaturesAreSetAtEveryStart) {
  EXPECT_EQ(get(FourCCs::psys, 1), kSystemVersion);
  EXPECT_STREQ(GetOSVersionString(), "v.5.0");  // a new table held 0x05003000 before the start set it
  EXPECT_EQ(get(FourCCs::psys, 25), 1u);
  EXPECT_EQ(get(FourCCs::psys, 18), 10001u);
  EXPECT_EQ(get(FourCCs::psys, 21), fourCC("iphn"));
  EXPECT_EQ(get(fourCC("ovly"), 5), 23u);
  EXPECT_EQ(get(fourCC("ovly"), 1), 0x17000000u);
  EXPECT_EQ(get(fourCC("pace"), 0), 0u);
  EXPECT_EQ(GetFeatureDbRef() != nullptr, true);
  ASSERT_EQ(FtrSet(FourCCs::psys, 1, 0x04000000), errNone);
  restart();
  EXPECT_EQ(get(FourCCs::psys, 1), kSystemVersion);
  EXPECT_STREQ(GetOSVersionString(), "v.4.0");
}

TEST_F(Features, MissingFeaturesReadAsZeroWithAnError) {
  UInt32 value = 99;
  EXPECT_EQ(FtrGet(kTest, 1, &value), ftrErrNoSuchFeature);
  EXPECT_EQ(value, 0u);
  EXPECT_EQ(FtrUnregister(kTest, 1), ftrErrNoSuchFeature);
  EXPECT_EQ(FtrPtrFree(kTest, 1), ftrErrNoSuchFeature);
  void* p = nullptr;
  EXPECT_EQ(FtrPtrResize(kTest, 1, 8, &p), ftrErrNoSuchFeature);
  EXPECT_EQ(FtrPtrNew(kTest, 1, 0, &p), memErrInvalidParam);
}

TEST_F(Features, EnumerationByIndexFollowsCreatorThenNumberUnsigned) {
  const std::pair<UInt32, UInt16> keys[] = {
      {0xFFFFFFFF, 2}, {0xFFFFFFFF, 0xFFFF}, {0x00000001, 3}, {0xFFFFFFFF, 1}, {0x80000000, 0}};
  UInt32 n = 0;
  for (auto [creator, number] : keys) ASSERT_EQ(FtrSet(creator, number, ++n), errNone);
  UInt32 prevCreator = 0, creator = 0, value = 0;
  UInt16 prevNumber = 0, number = 0, index = 0;
  for (; FtrGetByIndex(index, false, &creator, &number, &value) == errNone; ++index) {
    if (index) {
      EXPECT_TRUE(creator > prevCreator || (creator == prevCreator && number > prevNumber)) << index;
    }
    prevCreator = creator;
    prevNumber = number;
    UInt32 found = 0;
    EXPECT_EQ(FtrGet(creator, number, &found), errNone);
    EXPECT_EQ(found, value);
  }
  EXPECT_GE(index, 5 + 25);         // the system features and ours
  EXPECT_EQ(creator, 0xFFFFFFFFu);  // the last entry
  EXPECT_EQ(number, 0xFFFF);
  EXPECT_EQ(FtrGetByIndex(index, false, &creator, &number, &value), ftrErrNoSuchFeature);
  ASSERT_EQ(FtrUnregister(0xFFFFFFFF, 2), errNone);
  EXPECT_EQ(FtrGetByIndex(static_cast<UInt16>(index - 1), false, nullptr, nullptr, nullptr), ftrErrNoSuchFeature);
}

TEST_F(Features, ApplicationFeaturesSurviveARestartExceptTheOnesResetAtStart) {
  ASSERT_EQ(FtrSet(kTest, 7, 42), errNone);
  ASSERT_EQ(FtrSet(kTest, 7, 43), errNone);  // replaced, not added
  ASSERT_EQ(FtrSet(fourCC("TNpt"), 1, 5), errNone);
  void* p = nullptr;
  ASSERT_EQ(FtrPtrNew(fourCC("TNpt"), 2, 8, &p), errNone);
  ASSERT_EQ(FtrSet(FourCCs::psys, 32, 1), errNone);
  ASSERT_EQ(FtrSet(fourCC("pace"), 0, 9), errNone);
  restart();
  EXPECT_EQ(get(kTest, 7), 43u);
  UInt32 value;
  EXPECT_EQ(FtrGet(fourCC("TNpt"), 1, &value), ftrErrNoSuchFeature);
  EXPECT_EQ(FtrGet(fourCC("TNpt"), 2, &value), ftrErrNoSuchFeature);
  EXPECT_EQ(DmFindResource(GetFeatureDbRef(), fourCC("TNpt"), 2, 0), 0xFFFF);  // its memory went too
  EXPECT_EQ(FtrGet(FourCCs::psys, 32, &value), ftrErrNoSuchFeature);
  EXPECT_EQ(get(fourCC("pace"), 0), 0u);
}

TEST_F(Features, FeatureMemorySurvivesARestartWithItsContents) {
  void* p = nullptr;
  ASSERT_EQ(FtrPtrNew(kTest, 3, 6, &p), errNone);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(get(kTest, 3), toEmu(p));
  ASSERT_EQ(DmWrite(p, 0, "hello", 6), errNone);
  void* grown = nullptr;
  ASSERT_EQ(FtrPtrResize(kTest, 3, 4000, &grown), errNone);
  EXPECT_EQ(get(kTest, 3), toEmu(grown));
  EXPECT_STREQ(static_cast<const char*>(grown), "hello");
  void* refused = nullptr;
  EXPECT_EQ(FtrPtrResize(kTest, 3, 0x7FFFFFFF, &refused), memErrNotEnoughSpace);
  EXPECT_EQ(refused, grown);  // the old block stays, and its pointer is returned
  EXPECT_EQ(get(kTest, 3), toEmu(grown));
  EXPECT_EQ(FtrPtrResize(kTest, 3, 0, &refused), memErrInvalidParam);
  restart();
  auto* after = static_cast<const char*>(fromEmu(get(kTest, 3)));
  EXPECT_STREQ(after, "hello");
  EXPECT_EQ(MemPtrSize(const_cast<char*>(after)), 4000u);
  EXPECT_GT(MemPtrLockCount(const_cast<char*>(after)), 0);
  ASSERT_EQ(FtrPtrFree(kTest, 3), errNone);
  UInt32 value;
  EXPECT_EQ(FtrGet(kTest, 3, &value), ftrErrNoSuchFeature);
  EXPECT_EQ(DmFindResource(GetFeatureDbRef(), kTest, 3, 0), 0xFFFF);
}

// A block whose feature was overwritten must not come back in place of a
// later block of the same key.
TEST_F(Features, ANewBlockOfAnOverwrittenKeyIsTheOneFoundAfterARestart) {
  void* first = nullptr;
  ASSERT_EQ(FtrPtrNew(kTest, 4, 4, &first), errNone);
  ASSERT_EQ(DmWrite(first, 0, "old", 4), errNone);
  ASSERT_EQ(FtrSet(kTest, 4, 1234), errNone);
  EXPECT_EQ(get(kTest, 4), 1234u);
  EXPECT_EQ(FtrPtrFree(kTest, 4), ftrErrInvalidParam);  // a plain value is no block to free
  void* second = nullptr;
  ASSERT_EQ(FtrPtrNew(kTest, 4, 4, &second), errNone);
  ASSERT_EQ(DmWrite(second, 0, "new", 4), errNone);
  restart();
  EXPECT_STREQ(static_cast<const char*>(fromEmu(get(kTest, 4))), "new");
}

// An application may unlock its feature block itself; resizing it must still work.
TEST_F(Features, ABlockTheApplicationUnlockedCanStillBeResized) {
  void* p = nullptr;
  ASSERT_EQ(FtrPtrNew(kTest, 6, 8, &p), errNone);
  ASSERT_EQ(DmWrite(p, 0, "kept", 5), errNone);
  ASSERT_EQ(MemPtrUnlock(p), errNone);
  void* grown = nullptr;
  ASSERT_EQ(FtrPtrResize(kTest, 6, 3000, &grown), errNone);
  EXPECT_EQ(get(kTest, 6), toEmu(grown));
  EXPECT_STREQ(static_cast<const char*>(grown), "kept");
  EXPECT_EQ(MemPtrLockCount(grown), 1) << "locked once again, as every feature block";
  EXPECT_EQ(FtrPtrFree(kTest, 6), errNone);
}

TEST_F(Features, FreeingFeatureMemoryDirectlyRemovesItsFeature) {
  void* p = nullptr;
  ASSERT_EQ(FtrPtrNew(kTest, 5, 16, &p), errNone);
  MemHandle h = MemPtrRecoverHandle(p);
  MemHandleUnlock(h);
  EXPECT_EQ(MemHandleFree(h), errNone);
  UInt32 value;
  EXPECT_EQ(FtrGet(kTest, 5, &value), ftrErrNoSuchFeature);
  EXPECT_EQ(DmFindResource(GetFeatureDbRef(), kTest, 5, 0), 0xFFFF);

  // The same through the application's free, which keeps other databases' chunks.
  ASSERT_EQ(FtrPtrNew(kTest, 7, 16, &p), errNone);
  EXPECT_EQ(MemChunkFreeForApplication(p), errNone);
  EXPECT_EQ(FtrGet(kTest, 7, &value), ftrErrNoSuchFeature);
  EXPECT_EQ(DmFindResource(GetFeatureDbRef(), kTest, 7, 0), 0xFFFF);
}

TEST_F(Features, SystemEncodingAcceptsOnlyEncodingsWithACodePage) {
  EXPECT_EQ(FtrSet(FourCCs::psys, 11, 6), ftrErrInvalidParam);  // UTF-8: no code page yet
  EXPECT_EQ(get(FourCCs::psys, 11), 3u);
  EXPECT_EQ(FtrSet(FourCCs::psys, 11, 47), errNone);
  EXPECT_EQ(get(FourCCs::psys, 11), 47u);
}

TEST_F(Features, QVLnFeaturesReachThePrivateServices) {
  ASSERT_EQ(FtrSet(fourCC("QVLn"), 4, 77), errNone);
  ASSERT_EQ(services.size(), 1u);
  EXPECT_EQ(services[0], (std::pair<UInt16, UInt32>(4, 77)));
}

TEST_F(Features, TheHostsLocaleReplacesTheStoredOneAtStart) {
  hostAnswersLocale = true;
  restart();
  EXPECT_EQ(get(fourCC("ovly"), 5), 7u);
  EXPECT_EQ(get(fourCC("ovly"), 6), 0u);
}

// Without a hook of its own, the locale comes from the host's environment;
// a locale the host cannot name leaves the stored one.
TEST_F(Features, TheHostLocaleComesFromTheEnvironment) {
  const char* old = std::getenv("LC_ALL");
  std::string saved = old ? old : "";
  setFeatureHost({});
  struct Case {
    const char* locale;
    UInt32 language, country;
  } cases[] = {{"fr_FR.UTF-8", 1, 7}, {"pt_BR", 90, 3}, {"C.UTF-8", 90, 3}, {"xx_YY", 90, 3}};
  for (const Case& c : cases) {
    setenv("LC_ALL", c.locale, 1);
    restart();
    EXPECT_EQ(get(fourCC("ovly"), 6), c.language) << c.locale;
    EXPECT_EQ(get(fourCC("ovly"), 5), c.country) << c.locale;
  }
  if (old)
    setenv("LC_ALL", saved.c_str(), 1);
  else
    unsetenv("LC_ALL");
}

using FeaturesDeathTest = Features;

// A file that cannot be read stops the start with a clear message, and is kept.
TEST_F(FeaturesDeathTest, AnUnreadableFeatureDatabaseStopsTheStartAndIsKept) {
  stop();
  fs::path file;
  for (const auto& e : fs::directory_iterator(folder))
    if (e.path().filename().string().rfind("SystemFeatures-Qvrn#", 0) == 0) file = e.path();
  ASSERT_FALSE(file.empty());
  auto bytes = readWholeFile(file);
  set32(bytes.data() + 84, 0xFFFF);  // the table resource's offset points past the end
  writeWholeFile(file, bytes);
  MemTerminate();
  ASSERT_TRUE(MemoryMgrInit());
  EXPECT_EXIT(start(), testing::ExitedWithCode(1), "The feature database \"SystemFeatures-Qvrn\" cannot be opened");
  // The death test's child ran this test again from its start, saving the
  // database with its own dates before damaging it: the file kept is the
  // child's damaged one, whole.
  auto kept = readWholeFile(file);
  EXPECT_EQ(kept.size(), bytes.size());
  EXPECT_EQ(get32(kept.data() + 84), 0xFFFFu);
  ASSERT_TRUE(DataMgrInit());  // for the close-down of TearDown
}

// The application of creator 'CESF' keeps its features 15 to 18 whatever it asks.
TEST_F(Features, CESFKeepsItsOwnFeaturesWhileItRuns) {
  static LocalID running = 0;
  ASSERT_EQ(DmCreateDatabase(0, "CESF app", fourCC("CESF"), FourCCs::appl, true), errNone);
  ASSERT_EQ(DmCreateDatabase(0, "Other app", fourCC("othr"), FourCCs::appl, true), errNone);
  StorageSeams seams{};
  seams.currentAppDatabase = [](UInt16* cardP, LocalID* idP) {
    *cardP = 0;
    *idP = running;
  };
  setStorageSeams(seams);
  ASSERT_EQ(FtrSet(fourCC("CESF"), 16, fourCC("memo")), errNone);
  ASSERT_EQ(FtrSet(fourCC("CESF"), 19, 1), errNone);
  running = DmFindDatabase(0, "CESF app");
  EXPECT_EQ(FtrUnregister(fourCC("CESF"), 16), errNone);
  EXPECT_EQ(get(fourCC("CESF"), 16), fourCC("memo"));
  EXPECT_EQ(FtrUnregister(fourCC("CESF"), 19), errNone);  // outside 15-18: removed
  UInt32 value;
  EXPECT_EQ(FtrGet(fourCC("CESF"), 19, &value), ftrErrNoSuchFeature);
  running = DmFindDatabase(0, "Other app");
  EXPECT_EQ(FtrUnregister(fourCC("CESF"), 16), errNone);
  EXPECT_EQ(FtrGet(fourCC("CESF"), 16, &value), ftrErrNoSuchFeature);
}

}  // namespace

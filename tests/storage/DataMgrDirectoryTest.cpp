#include <algorithm>
#include <random>

#include "DataMgrFixture.h"

namespace {
using DataMgrDirectory = DataMgrFixture;

TEST_F(DataMgrDirectory, StaysSortedByNameAcrossManyCreationsRenamesAndDeletions) {
  create("b");
  create("a");
  create("c");
  EXPECT_EQ(directoryNames(), (std::vector<std::string>{"a", "b", "c"}));

  std::vector<std::string> expected{"a", "b", "c"};
  std::mt19937 random(42);
  for (int i = 0; i < 200; ++i) {
    std::string name = "db" + std::to_string(random() % 100000) + "\xE9" + std::to_string(i);
    create(name.c_str());
    expected.push_back(name);
  }
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(directoryNames(), expected);
  EXPECT_EQ(DmNumDatabases(0), expected.size());
  for (const auto& name : expected) EXPECT_NE(DmFindDatabase(0, name.c_str()), 0u) << name;

  // Renaming moves the entry to its new place.
  LocalID b = DmFindDatabase(0, "b");
  ASSERT_EQ(DmSetDatabaseInfo(0, b, "zz top", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr),
            errNone);
  expected.erase(std::find(expected.begin(), expected.end(), "b"));
  expected.push_back("zz top");
  LocalID first = DmGetDatabase(0, 0);
  ASSERT_EQ(DmSetDatabaseInfo(0, first, "0 first", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr, nullptr),
            errNone);
  expected[0] = "0 first";
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(directoryNames(), expected);
  EXPECT_EQ(DmFindDatabase(0, "b"), 0u);
  EXPECT_EQ(DmFindDatabase(0, "zz top"), b);

  for (size_t i = 0; i < expected.size(); i += 3)
    ASSERT_EQ(DmDeleteDatabase(0, DmFindDatabase(0, expected[i].c_str())), errNone);
  std::vector<std::string> left;
  for (size_t i = 0; i < expected.size(); ++i)
    if (i % 3) left.push_back(expected[i]);
  EXPECT_EQ(directoryNames(), left);
  EXPECT_EQ(DmGetDatabase(0, DmNumDatabases(0)), 0u) << "past the end";
}

TEST_F(DataMgrDirectory, FindDatabaseSetsTheLastError) {
  LocalID memo = create("MemoDB");
  struct Case {
    const char* name;
    LocalID id;
    Err err;
  } cases[] = {{"MemoDB", memo, errNone},
               {"memodb", 0, dmErrCantFind},
               {"Unknown", 0, dmErrCantFind},
               {"", 0, dmErrInvalidDatabaseName},
               {nullptr, 0, dmErrInvalidDatabaseName},
               {"0123456789012345678901234567890", 0, dmErrCantFind},
               {"01234567890123456789012345678901", 0, dmErrInvalidDatabaseName}};
  for (const Case& c : cases) {
    EXPECT_EQ(DmFindDatabase(0, c.name), c.id) << (c.name ? c.name : "null");
    EXPECT_EQ(DmGetLastErr(), c.err) << (c.name ? c.name : "null");
  }
}

TEST_F(DataMgrDirectory, CreationRefusesBadAndDuplicateNamesAndSavesTheNewDatabaseAtOnce) {
  LocalID id = create("Notes", fourCC("DATA"), fourCC("note"));
  EXPECT_EQ(files.savesOf("Notes"), 1);
  EXPECT_FALSE(attributes(id) & dmHdrAttrDirty);
  EXPECT_EQ(DmCreateDatabase(0, "Notes", fourCC("othr"), fourCC("DATA"), false), dmErrAlreadyExists);
  EXPECT_EQ(files.savesOf("Notes"), 1) << "a refused creation writes no file";
  EXPECT_EQ(DmCreateDatabase(0, "", 0, 0, false), dmErrInvalidDatabaseName);
  EXPECT_EQ(DmCreateDatabase(0, "01234567890123456789012345678901", 0, 0, false), dmErrInvalidDatabaseName);
  EXPECT_EQ(DmNumDatabases(0), 1);
  UInt32 live = liveChunks();
  EXPECT_EQ(DmCreateDatabase(1, "Card one", 0, 0, false), memErrCardNotPresent) << "there is one card";
  EXPECT_EQ(liveChunks(), live);

  files.saveWorks = false;
  LocalID unsaved = create("Unsaved");
  EXPECT_TRUE(attributes(unsaved) & dmHdrAttrDirty) << "a database whose file could not be written stays dirty";

  UInt16 attr = 0xFFFF, version = 9;
  UInt32 type = 0, creator = 0, seed = 0;
  EXPECT_EQ(DmDatabaseInfo(0, id, nullptr, &attr, &version, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &type,
                           &creator),
            errNone);
  EXPECT_EQ(attr, 0);
  EXPECT_EQ(version, 0);
  EXPECT_EQ(type, fourCC("DATA"));
  EXPECT_EQ(creator, fourCC("note"));
  seed = get32(databaseHeader(id) + DbHdr::kUniqueIDSeed);
  EXPECT_EQ(seed, 1u);
}

TEST_F(DataMgrDirectory, SearchByTypeAndCreatorPrefersTheLatestVersionThenTheFirstName) {
  auto withVersion = [](const char* name, UInt16 version) {
    LocalID id = create(name, FourCCs::appl, fourCC("Abcd"), true);
    DmSetDatabaseInfo(0, id, nullptr, nullptr, &version, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                      nullptr);
    return id;
  };
  LocalID beta = withVersion("Beta", 2);
  LocalID alpha = withVersion("Alpha", 2);
  create("Other", FourCCs::appl, fourCC("Wxyz"), true);
  UInt16 card = 9;
  LocalID found = 0;
  DmSearchStateType state;
  EXPECT_EQ(DmGetNextDatabaseByTypeCreator(true, &state, FourCCs::appl, fourCC("Abcd"), true, &card, &found), errNone);
  EXPECT_EQ(found, alpha) << "equal versions: the name that sorts first";
  EXPECT_EQ(card, 0);

  UInt16 three = 3;
  DmSetDatabaseInfo(0, beta, nullptr, nullptr, &three, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                    nullptr);
  EXPECT_EQ(DmGetNextDatabaseByTypeCreator(true, &state, FourCCs::appl, fourCC("Abcd"), true, &card, &found), errNone);
  EXPECT_EQ(found, beta) << "the highest version wherever it stands";
  EXPECT_EQ(DmGetNextDatabaseByTypeCreator(false, &state, FourCCs::appl, fourCC("Abcd"), true, &card, &found),
            dmErrCantFind);
  EXPECT_EQ(found, 0u);

  // Wildcards walk every match in name order.
  std::vector<LocalID> all;
  for (bool fresh = true;; fresh = false) {
    if (DmGetNextDatabaseByTypeCreator(fresh, &state, FourCCs::appl, 0, false, &card, &found)) break;
    all.push_back(found);
  }
  EXPECT_EQ(all.size(), 3u);
  EXPECT_EQ(all[0], alpha);

  DmOpenRef db = DmOpenDatabaseByTypeCreator(FourCCs::appl, fourCC("Abcd"), dmModeReadOnly);
  ASSERT_NE(db, nullptr);
  LocalID opened = 0;
  DmOpenDatabaseInfo(db, &opened, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(opened, beta);
  EXPECT_EQ(DmOpenDatabaseByTypeCreator(FourCCs::appl, fourCC("None"), dmModeReadOnly), nullptr);
  EXPECT_EQ(DmGetLastErr(), dmErrCantFind);
}

TEST_F(DataMgrDirectory, DatabaseInfoHidesTheSystemsOwnBitsAndSetInfoSavesOrRenames) {
  LocalID id = create("Journal");
  DbHdr::setAttributes(databaseHeader(id), dmHdrAttrDirty | dmHdrAttrBackup);
  UInt16 attr = 0;
  DmDatabaseInfo(0, id, nullptr, &attr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                 nullptr);
  EXPECT_EQ(attr, dmHdrAttrBackup);

  files = FileLog{};
  UInt32 modNum = get32(databaseHeader(id) + DbHdr::kModificationNumber);
  UInt32 date = 0xC0000000;
  ASSERT_EQ(DmSetDatabaseInfo(0, id, nullptr, nullptr, nullptr, nullptr, &date, nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr),
            errNone);
  EXPECT_EQ(files.savesOf("Journal"), 1) << "a closed database is saved at once";
  EXPECT_TRUE(files.deletes.empty()) << "the file name did not change";
  EXPECT_EQ(get32(databaseHeader(id) + DbHdr::kModificationNumber), modNum + 1);
  EXPECT_FALSE(attributes(id) & dmHdrAttrDirty);

  UInt16 version = 7;
  ASSERT_EQ(DmSetDatabaseInfo(0, id, nullptr, nullptr, &version, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr),
            errNone);
  EXPECT_EQ(files.savesOf("Journal"), 2);
  EXPECT_EQ(files.deletes, std::vector<std::string>{"Journal"}) << "the file under the old name goes after the save";

  // Nothing different: nothing saved.
  ASSERT_EQ(DmSetDatabaseInfo(0, id, nullptr, nullptr, &version, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr),
            errNone);
  EXPECT_EQ(files.savesOf("Journal"), 2);

  // The open, stub and resource bits cannot be set or cleared from outside.
  UInt16 all = 0xFFFF;
  DmSetDatabaseInfo(0, id, nullptr, &all, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                    nullptr);
  EXPECT_EQ(attributes(id) & (dmHdrAttrOpen | dmHdrAttrResDB | dmHdrAttrStub), 0);
  EXPECT_EQ(attributes(id) & 0x4FFE, 0x4FFE);

  create("Other");
  EXPECT_EQ(DmSetDatabaseInfo(0, id, "Other", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr),
            dmErrAlreadyExists);
  EXPECT_EQ(DmSetDatabaseInfo(0, 0x80000011, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr, nullptr),
            dmErrInvalidParam);
}

TEST_F(DataMgrDirectory, TheOldFileOfARenamedDatabaseGoesOnlyOnceTheNewOneIsWritten) {
  LocalID id = create("Before");
  files = FileLog{};
  files.saveWorks = false;
  ASSERT_EQ(DmSetDatabaseInfo(0, id, "After", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr),
            errNone);
  EXPECT_TRUE(files.deletes.empty()) << "the old file is the only copy while the new one cannot be written";
  EXPECT_TRUE(attributes(id) & dmHdrAttrDirty);
  files.saveWorks = true;
  DmCloseDatabase(DmOpenDatabase(0, id, dmModeReadWrite));
  EXPECT_EQ(files.savesOf("After"), 2);
  EXPECT_EQ(files.deletes, std::vector<std::string>{"Before"});

  // Renamed away and back before any save: the file in use is never removed.
  files = FileLog{};
  files.saveWorks = false;
  DmSetDatabaseInfo(0, id, "Elsewhere", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                    nullptr);
  DmSetDatabaseInfo(0, id, "After", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                    nullptr);
  files.saveWorks = true;
  DmCloseDatabase(DmOpenDatabase(0, id, dmModeReadWrite));
  EXPECT_EQ(files.deletes, std::vector<std::string>{"Elsewhere"});
}

TEST_F(DataMgrDirectory, ProtectionCountsToTwoHundredFiftyFiveAndBlocksDeletion) {
  LocalID id = create("Guarded");
  for (int i = 0; i < 300; ++i) ASSERT_EQ(DmDatabaseProtect(0, id, true), errNone);
  EXPECT_EQ(DmDeleteDatabase(0, id), dmErrDatabaseProtected);
  for (int i = 0; i < 254; ++i) ASSERT_EQ(DmDatabaseProtect(0, id, false), errNone);
  EXPECT_EQ(DmDeleteDatabase(0, id), dmErrDatabaseProtected);
  EXPECT_EQ(DmDatabaseProtect(0, id, false), errNone);
  EXPECT_EQ(DmDatabaseProtect(0, id, false), dmErrCantFind);
  EXPECT_EQ(DmDeleteDatabase(0, id), errNone);
  EXPECT_EQ(DmDatabaseProtect(0, id, true), dmErrCantFind) << "no longer in the directory";
}

TEST_F(DataMgrDirectory, DeletionRefusesOpenRunningAndUndeletableDatabasesAndFreesEverythingOtherwise) {
  UInt32 before = liveChunks();
  LocalID id = create("Doomed");
  DmOpenRef db = DmOpenDatabase(0, id, dmModeReadWrite);
  addRecord(db, "one");
  addRecord(db, "two");
  EXPECT_EQ(DmDeleteDatabase(0, id), dmErrDatabaseOpen);
  EXPECT_EQ(DmFindDatabase(0, "Doomed"), id);
  DmCloseDatabase(db);

  files.deleteWorks = false;
  EXPECT_NE(DmDeleteDatabase(0, id), errNone) << "a file that stays must not be reported deleted";
  EXPECT_EQ(DmFindDatabase(0, "Doomed"), id);
  files.deleteWorks = true;

  static LocalID running;
  running = id;
  StorageSeams seams{};
  seams.currentAppDatabase = [](UInt16* card, LocalID* dbID) {
    *card = 0;
    *dbID = running;
  };
  setStorageSeams(seams);
  EXPECT_EQ(DmDeleteDatabase(0, id), dmErrDatabaseOpen);
  running = 0;

  EXPECT_EQ(DmDeleteDatabase(0, id), errNone);
  EXPECT_EQ(files.deletes, std::vector<std::string>{"Doomed"});
  EXPECT_EQ(DmFindDatabase(0, "Doomed"), 0u);
  EXPECT_EQ(liveChunks(), before + 1) << "only the (now empty) directory block remains";
  EXPECT_EQ(DmDeleteDatabase(0, id), dmErrCantFind);
  EXPECT_EQ(DmDeleteDatabase(0, 0), dmErrInvalidParam);
}

// An info block must be a chunk of its own: one another database holds would
// be freed with either database, and a LocalID that names no chunk would make
// every later save of the database fail.
TEST_F(DataMgrDirectory, SetInfoRefusesInfoBlocksThatAreNotChunksOfTheirOwn) {
  LocalID owner = create("Owner");
  DmOpenRef ownerDB = DmOpenDatabase(0, owner, dmModeReadWrite);
  addRecord(ownerDB, "precious");
  LocalID record = 0;
  ASSERT_EQ(DmRecordInfo(ownerDB, 0, nullptr, nullptr, &record), errNone);
  DmCloseDatabase(ownerDB);
  LocalID taker = create("Taker");
  MemHandle block = DmNewHandle(nullptr, 8);
  const LocalID own = MemHandleToLocalID(block);
  const LocalID refused[] = {record, owner, 0x80001235u, MemHandleToLocalID(block) + 8};
  for (LocalID bad : refused) {
    SCOPED_TRACE(testing::Message() << std::hex << bad);
    LocalID id = bad;
    EXPECT_EQ(DmSetDatabaseInfo(0, taker, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &id, nullptr,
                                nullptr, nullptr),
              dmErrInvalidParam);
    EXPECT_EQ(DmSetDatabaseInfo(0, taker, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &id,
                                nullptr, nullptr),
              dmErrInvalidParam);
  }
  EXPECT_EQ(get32(databaseHeader(taker) + DbHdr::kAppInfoID), 0u);
  EXPECT_EQ(get32(databaseHeader(taker) + DbHdr::kSortInfoID), 0u);
  LocalID id = own;
  EXPECT_EQ(DmSetDatabaseInfo(0, taker, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &id, nullptr,
                              nullptr, nullptr),
            errNone);
  EXPECT_EQ(DmSetDatabaseInfo(0, taker, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &id, nullptr,
                              nullptr, nullptr),
            errNone)
      << "its own block again";
  EXPECT_EQ(DmDeleteDatabase(0, taker), errNone);
  ownerDB = DmOpenDatabase(0, owner, dmModeReadOnly);
  EXPECT_EQ(recordText(ownerDB, 0), "precious");
  DmCloseDatabase(ownerDB);
}

TEST_F(DataMgrDirectory, DatabaseSizeCountsRecordsAndBytes) {
  LocalID id = create("Sized");
  DmOpenRef db = DmOpenDatabase(0, id, dmModeReadWrite);
  addRecord(db, "123456789");  // 10 bytes
  addRecord(db, "1234");       // 5 bytes
  DmCloseDatabase(db);
  UInt32 records = 0, total = 0, data = 0;
  EXPECT_EQ(DmDatabaseSize(0, id, &records, &total, &data), errNone);
  EXPECT_EQ(records, 2u);
  EXPECT_EQ(data, 15u);
  EXPECT_EQ(total, 80u + 2 * 8 + 15);
  EXPECT_EQ(DmDatabaseSize(0, id + 2, &records, &total, &data), dmErrInvalidParam);
}
}  // namespace

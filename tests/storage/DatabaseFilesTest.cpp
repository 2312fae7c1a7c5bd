#include <signal.h>
#include <sys/resource.h>

#include <map>
#include <random>
#include <set>

#include "DataMgrFixture.h"
#include "ImageSupport.h"
#include "storage/EncodedFileName.h"
#include "storage/loadsavedatabases.h"

namespace {
class DatabaseFiles : public MemoryFixture {
 protected:
  void SetUp() override {
    MemoryFixture::SetUp();
    folder = scratchFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
    ASSERT_TRUE(DataMgrInit());
    InstallDatabaseFiles(folder.string());
  }

  void TearDown() override {
    while (DmOpenRef ref = DmNextOpenDatabase(nullptr)) DmCloseDatabase(ref);
    DataMgrTerminate();
    resetDatabaseFileOps();
    MemoryFixture::TearDown();
  }

  // A fresh start over the same folder, as after the process ended.
  void restart() {
    for (UInt16 heap = 0; heap < 2; ++heap)
      for (UInt16 owner = 0; owner < 16; ++owner) MemHeapFreeByOwnerID(heap, owner);
    DataMgrTerminate();
    MemTerminate();
    ASSERT_TRUE(MemoryMgrInit());
    ASSERT_TRUE(DataMgrInit());
    InstallDatabaseFiles(folder.string());
    testing::internal::CaptureStderr();
    CreateDatabaseDirectoryEntries();
    startupMessages = testing::internal::GetCapturedStderr();
  }

  fs::path fileOf(const char* name) {
    LocalID id = DmFindDatabase(0, name);
    const UInt8* h = databaseHeader(id);
    std::string file;
    FormEncodedFileName(name, DbHdr::attributes(h), get16(h + DbHdr::kVersion), DbHdr::creator(h), DbHdr::type(h),
                        file);
    return folder / file;
  }

  std::set<std::string> filesInFolder() {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename().string());
    return names;
  }

  LocalID makeDatabase(const char* name, std::initializer_list<const char*> records) {
    EXPECT_EQ(DmCreateDatabase(0, name, fourCC("test"), fourCC("DATA"), false), errNone);
    LocalID id = DmFindDatabase(0, name);
    DmOpenRef db = DmOpenDatabase(0, id, dmModeReadWrite);
    for (const char* r : records) {
      UInt16 at = dmMaxRecordIndex;
      MemHandle h = DmNewRecord(db, &at, static_cast<UInt32>(std::strlen(r) + 1));
      DmWrite(MemHandleLock(h), 0, r, static_cast<UInt32>(std::strlen(r) + 1));
      MemHandleUnlock(h);
      DmReleaseRecord(db, at, true);
    }
    DmCloseDatabase(db);
    return id;
  }

  std::vector<std::string> recordsOf(const char* name) {
    std::vector<std::string> out;
    DmOpenRef db = DmOpenDatabase(0, DmFindDatabase(0, name), dmModeReadOnly);
    if (!db) return {"<cannot open>"};
    for (UInt16 i = 0; i < DmNumRecords(db); ++i) {
      MemHandle h = DmQueryRecord(db, i);
      out.emplace_back(h ? static_cast<const char*>(MemHandleDataPtr(h)) : "");
    }
    DmCloseDatabase(db);
    return out;
  }

  fs::path folder;
  std::string startupMessages;
};

TEST_F(DatabaseFiles, RealFilesAreRegisteredAtStartUpAndLoadedOnFirstUse) {
  std::map<std::string, fs::path> byName;  // one file per database name
  for (const fs::path& f : realDatabaseFiles()) {
    auto bytes = readWholeFile(f);
    byName.emplace(reinterpret_cast<const char*>(bytes.data()), f);
  }
  for (const auto& [name, f] : byName) fs::copy_file(f, folder / f.filename());
  restart();
  EXPECT_EQ(DmNumDatabases(0), byName.size());
  for (const auto& [name, f] : byName) {
    SCOPED_TRACE(name);
    LocalID id = DmFindDatabase(0, name.c_str());
    ASSERT_NE(id, 0u);
    EXPECT_TRUE(DbHdr::attributes(databaseHeader(id)) & dmHdrAttrStub) << "registered, not loaded";
    EXPECT_FALSE(fs::exists(folder / f.filename())) << "the plain file took the system's name";
    EXPECT_TRUE(fs::exists(fileOf(name.c_str())));
    UInt32 modDate = 0;
    DmDatabaseInfo(0, id, nullptr, nullptr, nullptr, nullptr, &modDate, nullptr, nullptr, nullptr, nullptr, nullptr,
                   nullptr);
    EXPECT_EQ(modDate, get32(readWholeFile(fileOf(name.c_str())).data() + 40)) << "a stub's dates come from its file";
    DmOpenRef db = DmOpenDatabase(0, id, dmModeReadOnly);
    ASSERT_NE(db, nullptr);
    DmCloseDatabase(db);
    EXPECT_EQ(memoryDump(id), palmPdbDump(f));
  }
  // Nothing changed: nothing was written, and unloading returns them to stubs.
  LocalID memo = DmFindDatabase(0, "MemoDB");
  std::string loaded = memoryDump(memo);
  UnloadDatabases(false, false);
  EXPECT_TRUE(DbHdr::attributes(databaseHeader(memo)) & dmHdrAttrStub);
  EXPECT_TRUE(filesInFolder().size() == byName.size()) << "no backup or temporary file appeared";
  DmCloseDatabase(DmOpenDatabase(0, memo, dmModeReadOnly));
  EXPECT_EQ(memoryDump(memo), loaded) << "loaded again from its file";
}

TEST_F(DatabaseFiles, APlainFileReplacesTheRegisteredDatabaseOfItsName) {
  makeDatabase("MemoDB", {"old note"});
  fs::copy_file(SharedDataPath("testapps/data/MemoDB.pdb"), folder / "MemoDB.pdb");
  restart();
  EXPECT_EQ(DmNumDatabases(0), 1);
  EXPECT_EQ(memoryDump(DmFindDatabase(0, "MemoDB")).find("old note"), std::string::npos);
  DmCloseDatabase(DmOpenDatabase(0, DmFindDatabase(0, "MemoDB"), dmModeReadOnly));
  EXPECT_EQ(memoryDump(DmFindDatabase(0, "MemoDB")), palmPdbDump(SharedDataPath("testapps/data/MemoDB.pdb")));
  EXPECT_EQ(filesInFolder().size(), 1u);
}

TEST_F(DatabaseFiles, ATruncatedPlainFileLeavesTheRegisteredDatabaseOfItsName) {
  makeDatabase("MemoDB", {"old note"});
  auto bytes = readWholeFile(SharedDataPath("testapps/data/MemoDB.pdb"));
  bytes.resize(bytes.size() / 2);
  writeWholeFile(folder / "MemoDB.pdb", bytes);
  restart();
  EXPECT_NE(startupMessages.find("MemoDB.pdb"), std::string::npos) << startupMessages;
  EXPECT_EQ(recordsOf("MemoDB"), std::vector<std::string>{"old note"});
  EXPECT_EQ(readWholeFile(folder / "MemoDB.pdb"), bytes) << "the broken file is kept, untouched";
}

TEST_F(DatabaseFiles, ChangesReachTheFileAndComeBackAfterARestart) {
  makeDatabase("Diary", {"monday", "tuesday"});
  EXPECT_EQ(filesInFolder(), std::set<std::string>{fileOf("Diary").filename().string()});
  EXPECT_EQ(memoryDump(DmFindDatabase(0, "Diary")), palmPdbDump(fileOf("Diary")));
  restart();
  EXPECT_EQ(recordsOf("Diary"), (std::vector<std::string>{"monday", "tuesday"}));

  // A record written while the database is closed is saved at once.
  DmOpenRef db = DmOpenDatabase(0, DmFindDatabase(0, "Diary"), dmModeReadWrite);
  MemHandle h = DmQueryRecord(db, 0);
  DmCloseDatabase(db);
  DmWrite(MemHandleLock(h), 0, "M", 1);
  MemHandleUnlock(h);
  restart();
  EXPECT_EQ(recordsOf("Diary"), (std::vector<std::string>{"Monday", "tuesday"}));

  // A new name: the file follows, the old one goes.
  LocalID id = DmFindDatabase(0, "Diary");
  UInt16 version = 4;
  ASSERT_EQ(DmSetDatabaseInfo(0, id, "Journal", nullptr, &version, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr),
            errNone);
  EXPECT_EQ(filesInFolder(), std::set<std::string>{fileOf("Journal").filename().string()});
  restart();
  EXPECT_EQ(DmFindDatabase(0, "Diary"), 0u);
  EXPECT_EQ(recordsOf("Journal"), (std::vector<std::string>{"Monday", "tuesday"}));

  ASSERT_EQ(DmDeleteDatabase(0, DmFindDatabase(0, "Journal")), errNone);
  EXPECT_TRUE(filesInFolder().empty());
  restart();
  EXPECT_EQ(DmNumDatabases(0), 0);
}

TEST_F(DatabaseFiles, ASaveThatFailsMidwayLeavesThePreviousFileAndTheDatabaseDirty) {
  LocalID id = makeDatabase("Precious", {"first", "second"});
  fs::path file = fileOf("Precious");
  auto before = readWholeFile(file);
  DmOpenRef db = DmOpenDatabase(0, id, dmModeReadWrite);
  UInt16 at = dmMaxRecordIndex;
  MemHandle big = DmNewRecord(db, &at, 200000);
  DmReleaseRecord(db, at, true);
  ASSERT_NE(big, 0u);

  // The disk fills up after 4 KB of the new file.
  struct rlimit old;
  getrlimit(RLIMIT_FSIZE, &old);
  auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  testing::internal::CaptureStderr();
  DmCloseDatabase(db);
  // Unloading would drop the only copy of the changes: refused while they cannot be written.
  Err unload = UnloadDatabase(id, false, false);
  std::string warning = testing::internal::GetCapturedStderr();
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, oldHandler);
  EXPECT_NE(unload, errNone);

  EXPECT_NE(warning.find("Cannot write file"), std::string::npos) << warning;
  EXPECT_EQ(readWholeFile(file), before) << "the previous file must be intact";
  EXPECT_EQ(filesInFolder().size(), 1u) << "no partial file is left behind";
  EXPECT_TRUE(DbHdr::attributes(databaseHeader(id)) & dmHdrAttrDirty);

  // Once there is room again, close-down writes it.
  EXPECT_TRUE(SaveDatabasesToFiles(""));
  EXPECT_FALSE(DbHdr::attributes(databaseHeader(id)) & dmHdrAttrDirty);
  restart();
  EXPECT_EQ(recordsOf("Precious").size(), 3u);
}

TEST_F(DatabaseFiles, ADatabaseWhoseOnlyCopyIsItsBackupIsRecoveredAtStartUp) {
  makeDatabase("Lifeline", {"keep me"});
  fs::path file = fileOf("Lifeline");
  std::string backup;
  FormBackupFileName("Lifeline", backup);
  // As after a crash between moving the old file aside and putting the new one in place.
  fs::rename(file, folder / backup);
  std::ofstream(folder / (file.filename().string() + ".tmp")) << "half written";
  restart();
  EXPECT_NE(startupMessages.find("Lifeline"), std::string::npos);
  EXPECT_EQ(recordsOf("Lifeline"), std::vector<std::string>{"keep me"});
  EXPECT_EQ(filesInFolder(), std::set<std::string>{file.filename().string()});
}

TEST_F(DatabaseFiles, LeftoversOfInterruptedSavesAreClearedOrFinished) {
  makeDatabase("Kept", {"old"});
  makeDatabase("Brand new", {"only copy"});
  fs::path kept = fileOf("Kept");
  fs::path fresh = fileOf("Brand new");
  auto keptBytes = readWholeFile(kept);
  // A half-written replacement of an existing file, and a whole first save
  // that never got its final name.
  std::ofstream(folder / (kept.filename().string() + ".tmp")) << "half";
  fs::rename(fresh, folder / (fresh.filename().string() + ".tmp"));
  restart();
  EXPECT_EQ(filesInFolder(), (std::set<std::string>{kept.filename().string(), fresh.filename().string()}));
  EXPECT_EQ(readWholeFile(kept), keptBytes);
  EXPECT_EQ(recordsOf("Kept"), std::vector<std::string>{"old"});
  EXPECT_EQ(recordsOf("Brand new"), std::vector<std::string>{"only copy"});
}

// The whole image of a first save is the database's only copy: when it cannot
// take its final name, it stays for a later start.
TEST_F(DatabaseFiles, AWholeFirstSaveThatCannotTakeItsNameIsKept) {
  makeDatabase("Brand new", {"only copy"});
  fs::path fresh = fileOf("Brand new");
  fs::path temporary = folder / (fresh.filename().string() + ".tmp");
  fs::rename(fresh, temporary);
  auto bytes = readWholeFile(temporary);
  fs::create_symlink(folder / "gone", fresh);  // a link to nowhere holds the name
  restart();
  EXPECT_NE(startupMessages.find(temporary.filename().string()), std::string::npos) << startupMessages;
  EXPECT_EQ(readWholeFile(temporary), bytes);
  fs::remove(fresh);
  restart();
  EXPECT_EQ(recordsOf("Brand new"), std::vector<std::string>{"only copy"});
}

TEST_F(DatabaseFiles, AnUnreadableFileIsReplacedByItsBackupAtFirstUse) {
  makeDatabase("Fragile", {"safe"});
  fs::path file = fileOf("Fragile");
  std::string backup;
  FormBackupFileName("Fragile", backup);
  fs::copy_file(file, folder / backup);
  auto bytes = readWholeFile(file);
  bytes.resize(60);
  writeWholeFile(file, bytes);
  restart();
  testing::internal::CaptureStderr();
  EXPECT_EQ(recordsOf("Fragile"), std::vector<std::string>{"safe"});
  std::string messages = testing::internal::GetCapturedStderr();
  EXPECT_NE(messages.find(file.filename().string()), std::string::npos) << "the broken file is named";
  EXPECT_FALSE(fs::exists(folder / backup)) << "the backup went once the file was rewritten";
  EXPECT_EQ(palmPdbDump(file), memoryDump(DmFindDatabase(0, "Fragile")));
}

TEST_F(DatabaseFiles, ACorruptFileIsRefusedWithAWarningAndNothingElseIsLost) {
  makeDatabase("Good", {"fine"});
  makeDatabase("Bad", {"lost?"});
  fs::path bad = fileOf("Bad");
  auto bytes = readWholeFile(bad);
  set32(bytes.data() + 78, 0xFFFF);  // the record's offset points past the end
  writeWholeFile(bad, bytes);
  std::ofstream(folder / "Junk#zz.qvn") << "not ours";
  restart();
  EXPECT_NE(startupMessages.find("Invalid filename Junk#zz.qvn"), std::string::npos);
  testing::internal::CaptureStderr();
  EXPECT_EQ(DmOpenDatabase(0, DmFindDatabase(0, "Bad"), dmModeReadOnly), nullptr);
  std::string messages = testing::internal::GetCapturedStderr();
  EXPECT_NE(messages.find(bad.filename().string()), std::string::npos) << messages;
  EXPECT_EQ(readWholeFile(bad), bytes) << "the file is kept for whoever can mend it";
  EXPECT_EQ(recordsOf("Good"), std::vector<std::string>{"fine"});
}

TEST_F(DatabaseFiles, FlushingWritesOpenDatabasesThatChanged) {
  LocalID id = makeDatabase("Open", {"a"});
  DmOpenRef db = DmOpenDatabase(0, id, dmModeReadWrite);
  UInt16 at = dmMaxRecordIndex;
  DmNewRecord(db, &at, 3);
  DmReleaseRecord(db, at, true);
  std::string before = palmPdbDump(fileOf("Open"));
  EXPECT_EQ(SetDatabaseIdleFlush(0), 0);
  FlushDatabasesWhenIdle();
  EXPECT_EQ(palmPdbDump(fileOf("Open")), before) << "idle flushing is off";
  EXPECT_EQ(SetDatabaseIdleFlush(1), 0);
  FlushDatabasesWhenIdle();
  EXPECT_EQ(palmPdbDump(fileOf("Open")), memoryDump(id));
  EXPECT_FALSE(DbHdr::attributes(databaseHeader(id)) & dmHdrAttrDirty);
  DmDeleteRecord(db, 0);
  EXPECT_EQ(DatabaseFlush(db), errNone);
  EXPECT_EQ(palmPdbDump(fileOf("Open")), memoryDump(id));
  EXPECT_EQ(DatabaseFlush(nullptr), 2);
}

TEST_F(DatabaseFiles, MutatedFilesAreRefusedByNameWhileTheOthersStayWhole) {
  makeDatabase("Good", {"fine"});
  auto real = realDatabaseFiles();
  std::mt19937 random(11);
  std::vector<std::string> names;
  for (int i = 0; i < 300; ++i) {
    auto bytes = readWholeFile(real[i % real.size()]);
    for (int m = 0; m < 3; ++m) {
      size_t at = 32 + random() % (bytes.size() - 32);
      if (random() % 3 == 0)
        bytes.resize(at);
      else
        bytes[at] = static_cast<UInt8>(random());
    }
    std::string dbName = "Fuzz " + std::to_string(i);
    std::string file;
    // Half of them registered as the other kind of database than their image holds.
    FormEncodedFileName(dbName.c_str(), (get16(bytes.data() + 32) ^ i) & 1, 0, 0, 0, file);
    writeWholeFile(folder / file, bytes);
    names.push_back(dbName);
  }
  restart();
  int refused = 0;
  for (const std::string& name : names) {
    LocalID id = DmFindDatabase(0, name.c_str());
    ASSERT_NE(id, 0u) << name;
    testing::internal::CaptureStderr();
    DmOpenRef db = DmOpenDatabase(0, id, dmModeReadOnly);
    std::string messages = testing::internal::GetCapturedStderr();
    if (db) {
      DmCloseDatabase(db);
      continue;
    }
    ++refused;
    std::string encodedName;
    encodeDatabaseName(name.c_str(), encodedName);
    EXPECT_NE(messages.find(encodedName + "#"), std::string::npos) << messages;
    EXPECT_TRUE(DbHdr::attributes(databaseHeader(id)) & dmHdrAttrStub) << "a refused file leaves a stub";
  }
  EXPECT_GT(refused, 50);
  EXPECT_EQ(filesInFolder().size(), names.size() + 1) << "no file was removed or added";
  EXPECT_EQ(recordsOf("Good"), std::vector<std::string>{"fine"});
}

TEST_F(DatabaseFiles, BackupBeforeSavingLeavesNoBackupBehindAfterASuccessfulSave) {
  SetBackupDatabaseBeforeSaving(1);
  LocalID id = makeDatabase("Backed", {"one"});
  DmOpenRef db = DmOpenDatabase(0, id, dmModeReadWrite);
  DmDeleteRecord(db, 0);
  DmCloseDatabase(db);
  EXPECT_EQ(filesInFolder(), std::set<std::string>{fileOf("Backed").filename().string()});
  restart();
  EXPECT_EQ(recordsOf("Backed"), std::vector<std::string>{""});
}
}  // namespace

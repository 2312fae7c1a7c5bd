// The storage managers with the Data Manager up, and host files stood in for
// by a log of what would have been written and deleted. Saving and deleting
// can be made to fail, as a full disk or a read-only folder would.
#pragma once
#include <string>
#include <vector>

#include "StorageFixture.h"
#include "palm/ErrorCodes.h"
#include "palm/FourCC.h"
#include "storage/DATAMGR.h"
#include "storage/DataMgrPrivate.h"
#include "storage/DatabaseFiles.h"

struct FileLog {
  std::vector<std::string> saves;
  std::vector<std::string> deletes;
  bool saveWorks = true;
  bool deleteWorks = true;
  int savesOf(const std::string& name) const {
    int n = 0;
    for (const auto& s : saves) n += s == name;
    return n;
  }
};

class DataMgrFixture : public MemoryFixture {
 protected:
  static inline FileLog files;

  void SetUp() override {
    MemoryFixture::SetUp();
    ASSERT_TRUE(DataMgrInit());
    files = FileLog{};
    DatabaseFileOps ops{};
    ops.save = [](UInt16, LocalID id, UInt8) -> Boolean {
      files.saves.push_back(DbHdr::name(databaseHeader(id)));
      return files.saveWorks;
    };
    ops.deleteFile = [](const Char* name, UInt16, UInt16, UInt32, UInt32) -> Boolean {
      if (files.deleteWorks) files.deletes.push_back(name);
      return files.deleteWorks;
    };
    setDatabaseFileOps(ops);
  }

  void TearDown() override {
    while (DmOpenRef ref = DmNextOpenDatabase(nullptr)) ASSERT_EQ(DmCloseDatabase(ref), errNone);
    DataMgrTerminate();
    resetDatabaseFileOps();
    MemoryFixture::TearDown();
  }

  static LocalID create(const char* name, UInt32 type = fourCC("DATA"), UInt32 creator = fourCC("test"),
                        bool resDB = false) {
    EXPECT_EQ(DmCreateDatabase(0, name, creator, type, resDB), errNone) << name;
    return DmFindDatabase(0, name);
  }

  static UInt16 attributes(LocalID id) { return DbHdr::attributes(databaseHeader(id)); }

  static std::vector<std::string> directoryNames() {
    std::vector<std::string> names;
    for (UInt16 i = 0; i < DmNumDatabases(0); ++i) {
      Char name[32] = {};
      DmDatabaseInfo(0, DmGetDatabase(0, i), name, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr, nullptr, nullptr);
      names.emplace_back(name);
    }
    return names;
  }

  // Adds a record holding text at the end; returns its index.
  static UInt16 addRecord(DmOpenRef db, const char* text, UInt8 category = 0) {
    UInt16 at = dmMaxRecordIndex;
    UInt32 size = static_cast<UInt32>(std::strlen(text) + 1);
    MemHandle h = DmNewRecord(db, &at, size);
    EXPECT_NE(h, 0u) << DmGetLastErr();
    EXPECT_EQ(DmWrite(MemHandleLock(h), 0, text, size), errNone);
    MemHandleUnlock(h);
    EXPECT_EQ(DmReleaseRecord(db, at, true), errNone);
    UInt16 attr;
    DmRecordInfo(db, at, &attr, nullptr, nullptr);
    attr = static_cast<UInt16>((attr & ~dmRecAttrCategoryMask) | category);
    DmSetRecordInfo(db, at, &attr, nullptr);
    return at;
  }

  static std::string recordText(DmOpenRef db, UInt16 index) {
    MemHandle h = DmQueryRecord(db, index);
    if (!h) return "<none>";
    std::string s(static_cast<const char*>(MemHandleLock(h)));
    MemHandleUnlock(h);
    return s;
  }
};

#include <cstring>

#include "DataMgrFixture.h"

namespace {
using BuiltInDatabases = DataMgrFixture;

struct Expected {
  const char* name;
  const char* creator;
  UInt32 appInfoSize;
  const char* category1;
};

const UInt8* appInfo(LocalID dbID, UInt32* sizeP) {
  LocalID appInfoID = 0;
  EXPECT_EQ(DmDatabaseInfo(0, dbID, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &appInfoID, nullptr,
                           nullptr, nullptr),
            errNone);
  void* p = GetPtrWithoutLocking(appInfoID);
  *sizeP = p ? MemPtrSize(p) : 0;
  return static_cast<const UInt8*>(p);
}

TEST_F(BuiltInDatabases, AreCreatedWithTheirApplicationInfoAndSavedAtOnce) {
  CreateEmptyDatabases();
  const Expected expected[] = {{"AddressDB", "addr", 638, "Business"},
                               {"DatebookDB", "date", 280, ""},
                               {"ExpenseDB", "exps", 392, "Frankfurt"},
                               {"MemoDB", "memo", 282, "Business"},
                               {"ToDoDB", "todo", 282, "Business"}};
  for (const Expected& e : expected) {
    LocalID id = DmFindDatabase(0, e.name);
    ASSERT_NE(id, 0u) << e.name;
    UInt32 type = 0, creator = 0;
    UInt16 attr = 0xFFFF;
    DmDatabaseInfo(0, id, nullptr, &attr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &type,
                   &creator);
    EXPECT_EQ(type, fourCC("DATA")) << e.name;
    EXPECT_EQ(creator, fourCC(reinterpret_cast<const char(&)[5]>(*e.creator))) << e.name;
    EXPECT_EQ(attr & dmHdrAttrResDB, 0) << e.name;
    UInt32 size = 0;
    const UInt8* info = appInfo(id, &size);
    ASSERT_NE(info, nullptr) << e.name;
    EXPECT_EQ(size, e.appInfoSize) << e.name;
    EXPECT_STREQ(reinterpret_cast<const char*>(info + 2 + 16), e.category1) << e.name;
    EXPECT_EQ(GetMemPtrDBID(const_cast<UInt8*>(info)), id) << "the app info belongs to its database";
    EXPECT_FALSE(attributes(id) & dmHdrAttrDirty) << e.name;
    EXPECT_GE(files.savesOf(e.name), 1) << e.name;
  }

  UInt32 size = 0;
  const UInt8* todo = appInfo(DmFindDatabase(0, "ToDoDB"), &size);
  const UInt8 tail[] = {0x00, 0x00, 0xFF, 0xFF, 0x01, 0x00};
  EXPECT_EQ(std::memcmp(todo + 276, tail, sizeof tail), 0);
  EXPECT_EQ(todo[258 + 15], 15);
  EXPECT_EQ(todo[274], 15);

  const UInt8* address = appInfo(DmFindDatabase(0, "AddressDB"), &size);
  EXPECT_EQ(get16(address), 0x000F);
  EXPECT_STREQ(reinterpret_cast<const char*>(address + 2 + 3 * 16), "QuickList");
  EXPECT_EQ(get32(address + 278), 0x003FFFFFu);
  EXPECT_STREQ(reinterpret_cast<const char*>(address + 282), "Last name");
  EXPECT_STREQ(reinterpret_cast<const char*>(address + 282 + 21 * 16), "Mobile");
  EXPECT_EQ(address[634], 23);

  UInt32 dateSize = 0;
  const UInt8* datebook = appInfo(DmFindDatabase(0, "DatebookDB"), &dateSize);
  for (UInt32 i = 0; i < dateSize; ++i) ASSERT_EQ(datebook[i], 0) << i;
}

TEST_F(BuiltInDatabases, ExistingOnesAreLeftAlone) {
  LocalID memo = create("MemoDB", fourCC("DATA"), fourCC("memo"));
  DmOpenRef db = DmOpenDatabase(0, memo, dmModeReadWrite);
  addRecord(db, "my note");
  DmCloseDatabase(db);
  files = FileLog{};
  CreateEmptyDatabases();
  EXPECT_EQ(DmFindDatabase(0, "MemoDB"), memo);
  EXPECT_EQ(files.savesOf("MemoDB"), 0);
  EXPECT_EQ(DmGetAppInfoID(db), 0u) << "the closed reference is gone";
  UInt32 records = 0;
  DmDatabaseSize(0, memo, &records, nullptr, nullptr);
  EXPECT_EQ(records, 1u);
  EXPECT_EQ(DmNumDatabases(0), 5);
}

}  // namespace

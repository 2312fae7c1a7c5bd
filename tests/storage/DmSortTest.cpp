#include "DataMgrFixture.h"

namespace {
class DmSort : public DataMgrFixture {
 protected:
  static inline int calls = 0;

  // Records are decimal numbers ("5a" and "5b" compare equal); "other" -1 reverses the order.
  static Int16 byNumber(void* a, void* b, Int16 other, SortRecordInfoType*, SortRecordInfoType*, MemHandle) {
    ++calls;
    int x = std::atoi(static_cast<const char*>(a));
    int y = std::atoi(static_cast<const char*>(b));
    return static_cast<Int16>(other * ((x > y) - (x < y)));
  }

  void SetUp() override {
    DataMgrFixture::SetUp();
    calls = 0;
    db = DmOpenDatabase(0, create("Sorted"), dmModeReadWrite);
  }

  std::vector<std::string> texts() {
    std::vector<std::string> v;
    for (UInt16 i = 0; i < DmNumRecords(db); ++i) v.push_back(recordText(db, i));
    return v;
  }
  DmOpenRef db = nullptr;
  RecordComparison native{0, byNumber};
};

TEST_F(DmSort, SortsStablyAndPutsDeletedRecordsLast) {
  for (const char* t : {"5a", "3", "9", "1", "5b", "7", "2"}) addRecord(db, t);
  addRecord(db, "4");
  DmDeleteRecord(db, 7);
  addRecord(db, "0");
  ASSERT_EQ(SortRecords(db, native, 1), errNone);
  EXPECT_EQ(texts(), (std::vector<std::string>{"0", "1", "2", "3", "5a", "5b", "7", "9", "<none>"}));
  ASSERT_EQ(SortRecords(db, native, -1), errNone);
  EXPECT_EQ(texts(), (std::vector<std::string>{"9", "7", "5a", "5b", "3", "2", "1", "0", "<none>"}));
  UInt16 attr;
  DmRecordInfo(db, 8, &attr, nullptr, nullptr);
  EXPECT_TRUE(attr & dmRecAttrDelete);
}

TEST_F(DmSort, SmallDatabasesAndWrongModes) {
  EXPECT_EQ(SortRecords(db, native, 1), errNone);
  addRecord(db, "1");
  EXPECT_EQ(SortRecords(db, native, 1), errNone);
  EXPECT_EQ(calls, 0);
  UInt16 position = FindSortPosition(db, const_cast<char*>("0"), nullptr, native, 1);
  EXPECT_EQ(position, 0);
  DmOpenRef ro = DmOpenDatabase(0, DmFindDatabase(0, "Sorted"), dmModeReadOnly);
  EXPECT_EQ(SortRecords(ro, native, 1), dmErrReadOnly);
  EXPECT_EQ(SortRecords(nullptr, native, 1), dmErrInvalidParam);
}

TEST_F(DmSort, FindSortPositionUsesTheHintForConsecutiveInserts) {
  for (int i = 0; i < 40; i += 2) addRecord(db, std::to_string(i).c_str());
  void* record = MemPtrNew(8);
  std::strcpy(static_cast<char*>(record), "13");
  calls = 0;
  UInt16 first = FindSortPosition(db, record, nullptr, native, 1);
  EXPECT_EQ(first, 7);
  int fullSearch = calls;
  calls = 0;
  std::strcpy(static_cast<char*>(record), "15");
  EXPECT_EQ(FindSortPosition(db, record, nullptr, native, 1), 8);
  EXPECT_EQ(calls, 2) << "the hint around the last answer needs two comparisons";
  EXPECT_GT(fullSearch, 2);
  std::strcpy(static_cast<char*>(record), "99");
  EXPECT_EQ(FindSortPosition(db, record, nullptr, native, 1), 20);
  std::strcpy(static_cast<char*>(record), "-1");
  EXPECT_EQ(FindSortPosition(db, record, nullptr, native, 1), 0);
  MemPtrFree(record);
}

// The 68K routine stands behind the callback seam: here a native stand-in
// that records the order of its arguments.
TEST_F(DmSort, SixtyEightKRoutinesSeeTheOtherRecordFirstWhenDeletionsCount) {
  static std::vector<std::string> order;
  StorageSeams seams{};
  seams.callComparF = [](EmuAddr routine, void* a, void* b, Int16 other, void*, void*, MemHandle) -> Int16 {
    EXPECT_EQ(routine, 0x10001000u);
    order.push_back(std::string(static_cast<char*>(a)) + "<>" + static_cast<char*>(b));
    return byNumber(a, b, other, nullptr, nullptr, 0);
  };
  setStorageSeams(seams);
  addRecord(db, "2");
  addRecord(db, "1");
  ASSERT_EQ(DmInsertionSort(db, 0x10001000, 1), errNone);
  EXPECT_EQ(texts(), (std::vector<std::string>{"1", "2"}));
  EXPECT_EQ(order, std::vector<std::string>{"2<>1"}) << "record 1 compared with record 0, arguments turned round";
  order.clear();
  void* record = MemPtrNew(4);
  std::strcpy(static_cast<char*>(record), "3");
  EXPECT_EQ(DmFindSortPositionV10(db, record, 0x10001000, 1), 2);
  EXPECT_EQ(order.front().substr(0, 3), "3<>");
  MemPtrFree(record);
}
}  // namespace

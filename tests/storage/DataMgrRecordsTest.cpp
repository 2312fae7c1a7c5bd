#include <cstring>

#include "DataMgrFixture.h"

namespace {
class DataMgrRecords : public DataMgrFixture {
 protected:
  void SetUp() override {
    DataMgrFixture::SetUp();
    id = create("Records");
    db = DmOpenDatabase(0, id, dmModeReadWrite);
    ASSERT_NE(db, nullptr);
  }
  std::vector<std::string> texts() {
    std::vector<std::string> v;
    for (UInt16 i = 0; i < DmNumRecords(db); ++i) v.push_back(recordText(db, i));
    return v;
  }
  UInt8 attr(UInt16 index) {
    UInt16 a = 0;
    EXPECT_EQ(DmRecordInfo(db, index, &a, nullptr, nullptr), errNone);
    return static_cast<UInt8>(a);
  }
  UInt32 uniqueID(UInt16 index) {
    UInt32 u = 0;
    EXPECT_EQ(DmRecordInfo(db, index, nullptr, &u, nullptr), errNone);
    return u;
  }
  LocalID id = 0;
  DmOpenRef db = nullptr;
};

TEST_F(DataMgrRecords, NewRecordIsBusyUntilReleasedAndGetsTheNextUniqueID) {
  UInt16 at = 0;
  MemHandle h = DmNewRecord(db, &at, 12);
  ASSERT_NE(h, 0u);
  EXPECT_EQ(at, 0);
  EXPECT_EQ(attr(0), dmRecAttrDirty | dmRecAttrBusy);
  EXPECT_EQ(uniqueID(0), 1u);
  EXPECT_TRUE(MemHandleDataStorage(h));
  EXPECT_EQ(MemHandleSize(h), 12u);
  EXPECT_EQ(DmGetRecord(db, 0), 0u);
  EXPECT_EQ(DmGetLastErr(), dmErrRecordBusy);
  EXPECT_EQ(DmReleaseRecord(db, 0, true), errNone);
  EXPECT_EQ(attr(0), dmRecAttrDirty);
  EXPECT_TRUE(attributes(id) & dmHdrAttrDirty);
  EXPECT_EQ(DmGetRecord(db, 0), h);
  EXPECT_EQ(DmGetLastErr(), errNone);
  DmReleaseRecord(db, 0, false);

  // The records' LocalIDs, the header's uniqueIDSeed and the chunk's owner agree.
  LocalID chunkID = 0;
  DmRecordInfo(db, 0, nullptr, nullptr, &chunkID);
  EXPECT_EQ(chunkID, MemHandleToLocalID(h));
  EXPECT_EQ(GetMemPtrDBID(MemHandleDataPtr(h)), id);
  at = 0;
  DmNewRecord(db, &at, 4);
  EXPECT_EQ(uniqueID(0), 2u) << "inserted in front, with the next ID";
  EXPECT_EQ(uniqueID(1), 1u);
  EXPECT_EQ(get32(databaseHeader(id) + DbHdr::kUniqueIDSeed), 3u);
  EXPECT_EQ(DmNewRecord(db, &at, 0), 0u);
  EXPECT_EQ(DmGetLastErr(), dmErrMemError);
}

TEST_F(DataMgrRecords, InsertMoveAndRemoveKeepTheOrderAndTheIDs) {
  for (const char* t : {"a", "b", "c", "d", "e"}) addRecord(db, t);
  EXPECT_EQ(texts(), (std::vector<std::string>{"a", "b", "c", "d", "e"}));
  UInt32 idOfA = uniqueID(0);
  ASSERT_EQ(DmMoveRecord(db, 0, 3), errNone);
  EXPECT_EQ(texts(), (std::vector<std::string>{"b", "c", "a", "d", "e"}));
  EXPECT_EQ(uniqueID(2), idOfA);
  ASSERT_EQ(DmMoveRecord(db, 4, 0), errNone);
  EXPECT_EQ(texts(), (std::vector<std::string>{"e", "b", "c", "a", "d"}));
  ASSERT_EQ(DmMoveRecord(db, 1, 50), errNone) << "a target past the end means the end";
  EXPECT_EQ(texts(), (std::vector<std::string>{"e", "c", "a", "d", "b"}));
  EXPECT_EQ(DmMoveRecord(db, 5, 0), dmErrIndexOutOfRange);

  UInt16 found = 0;
  EXPECT_EQ(DmFindRecordByID(db, idOfA, &found), errNone);
  EXPECT_EQ(found, 2);
  EXPECT_EQ(DmFindRecordByID(db, 0xABCDEF, &found), dmErrUniqueIDNotFound);

  UInt32 before = liveChunks();
  EXPECT_EQ(DmRemoveRecord(db, 0), errNone);
  EXPECT_EQ(liveChunks(), before - 1);
  MemHandle detached = 0;
  EXPECT_EQ(DmDetachRecord(db, 0, &detached), errNone);
  EXPECT_EQ(GetMemPtrDBID(MemHandleDataPtr(detached)), 0u);
  EXPECT_EQ(texts(), (std::vector<std::string>{"a", "d", "b"}));

  // Attach with an index past the end appends and reports where.
  UInt16 at = 100;
  EXPECT_EQ(DmAttachRecord(db, &at, detached, nullptr), errNone);
  EXPECT_EQ(at, 3);
  EXPECT_EQ(recordText(db, 3), "c");
  EXPECT_EQ(attr(3) & dmRecAttrBusy, 0);
  // Replacing gives the old chunk back.
  MemHandle fresh = DmNewHandle(db, 2);
  DmWrite(MemHandleLock(fresh), 0, "z", 2);
  MemHandleUnlock(fresh);
  at = 0;
  MemHandle old = 0;
  EXPECT_EQ(DmAttachRecord(db, &at, fresh, &old), errNone);
  EXPECT_EQ(recordText(db, 0), "z");
  EXPECT_NE(old, 0u);
  MemHandleFree(old);
  at = 9;
  EXPECT_EQ(DmAttachRecord(db, &at, fresh, &old), dmErrIndexOutOfRange);
  EXPECT_EQ(DmAttachRecord(db, &at, MemHandleNew(4), nullptr), dmErrInvalidParam) << "not a storage chunk";
}

// A chunk that a database already holds cannot be attached again: two entries
// on one chunk would free it once and leave the other pointing at freed memory.
TEST_F(DataMgrRecords, AChunkADatabaseHoldsCannotBeAttachedAgain) {
  addRecord(db, "mine");
  LocalID otherID = create("Other");
  DmOpenRef other = DmOpenDatabase(0, otherID, dmModeReadWrite);
  addRecord(other, "theirs");
  LocalID resID = create("Resources", fourCC("rsrc"), fourCC("test"), true);
  DmOpenRef res = DmOpenDatabase(0, resID, dmModeReadWrite);
  MemHandle resource = DmNewResource(res, fourCC("tSTR"), 1000, 4);
  ASSERT_NE(resource, 0u);
  const MemHandle held[] = {DmQueryRecord(db, 0), DmQueryRecord(other, 0), resource, otherID & ~1u};
  for (MemHandle h : held) {
    SCOPED_TRACE(testing::Message() << std::hex << h);
    UInt16 at = dmMaxRecordIndex;
    EXPECT_EQ(DmAttachRecord(db, &at, h, nullptr), dmErrInvalidParam);
    at = 0;
    MemHandle old = 0;
    EXPECT_EQ(DmAttachRecord(db, &at, h, &old), dmErrInvalidParam);
    EXPECT_EQ(DmAttachResource(res, h, fourCC("tSTR"), 2000), dmErrInvalidParam);
  }
  EXPECT_EQ(texts(), std::vector<std::string>{"mine"});
  EXPECT_EQ(recordText(other, 0), "theirs");
  EXPECT_EQ(DmNumResources(res), 1);
  DmCloseDatabase(res);
  DmCloseDatabase(other);
  EXPECT_EQ(DmDeleteDatabase(0, otherID), errNone);
  EXPECT_EQ(DmDeleteDatabase(0, resID), errNone);
}

TEST_F(DataMgrRecords, DeleteAndArchiveLeaveTheEntryWithTheRightErrors) {
  addRecord(db, "keep");
  addRecord(db, "archive");
  addRecord(db, "delete");
  EXPECT_EQ(DmArchiveRecord(db, 1), errNone);
  EXPECT_EQ(DmDeleteRecord(db, 2), errNone);
  EXPECT_EQ(DmNumRecords(db), 3);
  EXPECT_EQ(DmDeleteRecord(db, 2), dmErrRecordDeleted);
  EXPECT_EQ(DmDeleteRecord(db, 1), dmErrRecordArchived);
  EXPECT_EQ(DmQueryRecord(db, 2), 0u);
  EXPECT_EQ(DmGetLastErr(), dmErrRecordDeleted);
  EXPECT_EQ(DmQueryRecord(db, 1), 0u);
  EXPECT_EQ(DmGetLastErr(), dmErrRecordArchived);
  EXPECT_EQ(DmGetRecord(db, 1), 0u);
  LocalID chunk = 1;
  DmRecordInfo(db, 2, nullptr, nullptr, &chunk);
  EXPECT_EQ(chunk, 0u) << "a deleted record has no chunk";
  DmRecordInfo(db, 1, nullptr, nullptr, &chunk);
  EXPECT_NE(chunk, 0u) << "an archived record keeps its chunk";
  EXPECT_TRUE(attr(1) & dmRecAttrDelete);
  EXPECT_EQ(DmResizeRecord(db, 2, 10), 0u);
  EXPECT_EQ(DmGetLastErr(), dmErrRecordDeleted);
}

TEST_F(DataMgrRecords, ReadOnlyReferencesCannotChangeRecords) {
  addRecord(db, "fixed");
  DmOpenRef ro = DmOpenDatabase(0, id, dmModeReadOnly);
  UInt16 at = 0;
  UInt16 a = 0;
  MemHandle h = DmNewHandle(ro, 4);
  struct Case {
    const char* call;
    Err err;
  } cases[] = {
      {"DmDeleteRecord", DmDeleteRecord(ro, 0)},          {"DmArchiveRecord", DmArchiveRecord(ro, 0)},
      {"DmRemoveRecord", DmRemoveRecord(ro, 0)},          {"DmSetRecordInfo", DmSetRecordInfo(ro, 0, &a, nullptr)},
      {"DmMoveRecord", DmMoveRecord(ro, 0, 1)},           {"DmAttachRecord", DmAttachRecord(ro, &at, h, nullptr)},
      {"DmDetachRecord", DmDetachRecord(ro, 0, nullptr)}, {"DmMoveCategory", DmMoveCategory(ro, 1, 0, false)},
  };
  for (const Case& c : cases) EXPECT_EQ(c.err, dmErrReadOnly) << c.call;
  EXPECT_EQ(DmNewRecord(ro, &at, 4), 0u);
  EXPECT_EQ(DmGetLastErr(), dmErrReadOnly);
  EXPECT_EQ(texts(), std::vector<std::string>{"fixed"});
  EXPECT_NE(DmResizeRecord(ro, 0, 100), 0u) << "the database is open for writing elsewhere";
  MemHandleFree(h);
  DmCloseDatabase(ro);
  EXPECT_EQ(DmRecordInfo(db, 5, nullptr, nullptr, nullptr), dmErrIndexOutOfRange);
  EXPECT_EQ(DmRecordInfo(nullptr, 0, nullptr, nullptr, nullptr), dmErrInvalidParam);
}

TEST_F(DataMgrRecords, SetRecordInfoNeverChangesTheBusyBitAndKeepsTwentyFourBitIDs) {
  addRecord(db, "r");
  DmGetRecord(db, 0);
  UInt16 a = dmRecAttrSecret | 5;
  UInt32 u = 0x12345678;
  UInt32 modNum = get32(databaseHeader(id) + DbHdr::kModificationNumber);
  EXPECT_EQ(DmSetRecordInfo(db, 0, &a, &u), errNone);
  EXPECT_EQ(attr(0), dmRecAttrSecret | dmRecAttrBusy | 5);
  EXPECT_EQ(uniqueID(0), 0x345678u);
  EXPECT_EQ(get32(databaseHeader(id) + DbHdr::kModificationNumber), modNum + 1);
  a = 0xFF;
  DmSetRecordInfo(db, 0, &a, nullptr);
  DmReleaseRecord(db, 0, false);
  a = 0;
  DmSetRecordInfo(db, 0, &a, nullptr);
  EXPECT_EQ(attr(0), 0);
}

TEST_F(DataMgrRecords, AnExhaustedSeedRestartsAboveTheHighestID) {
  addRecord(db, "a");
  UInt32 big = 0x500;
  DmSetRecordInfo(db, 0, nullptr, &big);
  set32(databaseHeader(id) + DbHdr::kUniqueIDSeed, 0x3000000);
  addRecord(db, "b");
  EXPECT_EQ(uniqueID(1), 0x501u);
  // A seed that collides moves on to a free ID.
  set32(databaseHeader(id) + DbHdr::kUniqueIDSeed, 0x500);
  addRecord(db, "c");
  EXPECT_EQ(uniqueID(2), 0x502u);
}

TEST_F(DataMgrRecords, ManyRecordsGrowTheOpenHeaderWithoutLosingAny) {
  UInt16 locksBefore = MemHandleLockCount(id & ~1u);
  for (int i = 0; i < 1500; ++i) addRecord(db, std::to_string(i).c_str());
  EXPECT_EQ(DmNumRecords(db), 1500);
  EXPECT_EQ(MemHandleLockCount(id & ~1u), locksBefore) << "the header's locks move with it";
  for (int i = 0; i < 1500; i += 97) EXPECT_EQ(recordText(db, static_cast<UInt16>(i)), std::to_string(i));
  for (int i = 0; i < 1500; i += 2) DmRemoveRecord(db, static_cast<UInt16>(1500 - 1 - i));
  EXPECT_EQ(DmNumRecords(db), 750);
  EXPECT_EQ(recordText(db, 749), "1498");
  UInt32 records = 0;
  DmDatabaseSize(0, id, &records, nullptr, nullptr);
  EXPECT_EQ(records, 750u);
  DmCloseDatabase(db);
  db = DmOpenDatabase(0, id, dmModeReadOnly);
  EXPECT_EQ(DmNumRecords(db), 750);
}

TEST_F(DataMgrRecords, SearchRecordFindsTheOpenDatabaseOfAHandle) {
  addRecord(db, "a");
  addRecord(db, "b");
  MemHandle h = DmQueryRecord(db, 1);
  DmOpenRef found = nullptr;
  EXPECT_EQ(DmSearchRecord(h, &found), 1);
  EXPECT_EQ(found, db);
  EXPECT_EQ(DmSearchRecord(MemHandleNew(4), &found), 0xFFFF);
  EXPECT_EQ(found, nullptr);
}

TEST_F(DataMgrRecords, SecretRecordsAreRemovedTogether) {
  addRecord(db, "public");
  addRecord(db, "secret1", dmRecAttrSecret);
  addRecord(db, "secret2", dmRecAttrSecret);
  addRecord(db, "public2");
  EXPECT_EQ(DmRemoveSecretRecords(db), errNone);
  EXPECT_EQ(texts(), (std::vector<std::string>{"public", "public2"}));
}

TEST_F(DataMgrRecords, WritesAreBoundsCheckedAndSaveAClosedDatabaseAtOnce) {
  addRecord(db, "0123456789");
  MemHandle h = DmQueryRecord(db, 0);
  auto* p = static_cast<UInt8*>(MemHandleLock(h));
  struct Case {
    UInt32 offset, bytes;
    Err err;
  } cases[] = {{0, 11, errNone},
               {10, 1, errNone},
               {0, 12, dmErrWriteOutOfBounds},
               {11, 1, dmErrWriteOutOfBounds},
               {0xFFFFFFFF, 2, dmErrWriteOutOfBounds},
               {11, 0, errNone},
               {12, 0, dmErrWriteOutOfBounds}};
  for (const Case& c : cases) EXPECT_EQ(DmWriteCheck(p, c.offset, c.bytes), c.err) << c.offset << "+" << c.bytes;
  EXPECT_EQ(DmWrite(p, 5, "XYZXYZXYZ", 7), dmErrWriteOutOfBounds);
  EXPECT_STREQ(reinterpret_cast<char*>(p), "0123456789") << "a refused write changes nothing";
  EXPECT_EQ(DmWrite(nullptr, 0, "x", 1), dmErrWriteOutOfBounds);
  EXPECT_EQ(DmSet(p, 2, 3, '-'), errNone);
  EXPECT_STREQ(reinterpret_cast<char*>(p), "01---56789");
  EXPECT_EQ(DmStrCopy(p, 6, "end"), errNone);
  EXPECT_STREQ(reinterpret_cast<char*>(p), "01---5end");
  MemHandleUnlock(h);
  EXPECT_EQ(DmWrite(p, 0, "x", 1), memErrChunkNotLocked);

  DmCloseDatabase(db);
  db = nullptr;
  files = FileLog{};
  p = static_cast<UInt8*>(MemHandleLock(h));
  EXPECT_EQ(DmWrite(p, 0, "W", 1), errNone);
  EXPECT_EQ(files.savesOf("Records"), 1) << "a write into a closed database reaches its file at once";
  EXPECT_FALSE(attributes(id) & dmHdrAttrDirty);
  files.saveWorks = false;
  EXPECT_EQ(DmSet(p, 1, 1, 'V'), errNone);
  EXPECT_TRUE(attributes(id) & dmHdrAttrDirty);
  MemHandleUnlock(h);
}

class DataMgrCategories : public DataMgrRecords {
 protected:
  void SetUp() override {
    DataMgrRecords::SetUp();
    // index: 0 c1, 1 c2, 2 c1 secret, 3 c1, 4 c3 deleted, 5 c2
    addRecord(db, "r0", 1);
    addRecord(db, "r1", 2);
    addRecord(db, "r2", 1 | dmRecAttrSecret);
    addRecord(db, "r3", 1);
    addRecord(db, "r4", 3);
    addRecord(db, "r5", 2);
    DmDeleteRecord(db, 4);
  }
};

TEST_F(DataMgrCategories, CountsPositionsAndQueries) {
  EXPECT_EQ(DmNumRecordsInCategory(db, 1), 2);
  EXPECT_EQ(DmNumRecordsInCategory(db, dmAllCategories), 4);
  EXPECT_EQ(DmNumRecordsInCategory(db, 3), 0);
  DmOpenRef secret = DmOpenDatabase(0, id, dmModeReadOnly | dmModeShowSecret);
  EXPECT_EQ(DmNumRecordsInCategory(secret, 1), 3);
  DmCloseDatabase(secret);

  EXPECT_EQ(DmPositionInCategory(db, 3, 1), 1);
  EXPECT_EQ(DmPositionInCategory(db, 5, dmAllCategories), 3);
  EXPECT_EQ(DmPositionInCategory(db, 0xFFFF, 2), 1);

  UInt16 index = 1;
  MemHandle h = DmQueryNextInCategory(db, &index, 1);
  EXPECT_EQ(index, 3);
  EXPECT_EQ(h, DmQueryRecord(db, 3));
  index = 4;
  EXPECT_EQ(DmQueryNextInCategory(db, &index, 1), 0u);
  EXPECT_EQ(DmGetLastErr(), dmErrCantFind);
  index = 6;
  EXPECT_EQ(DmQueryNextInCategory(db, &index, 1), 0u);
  EXPECT_EQ(DmGetLastErr(), dmErrIndexOutOfRange);
}

TEST_F(DataMgrCategories, SeekingForwardAndBackward) {
  struct Case {
    UInt16 start, offset;
    Int16 direction;
    UInt16 category;
    Err err;
    UInt16 index;
  } cases[] = {
      {0, 0, dmSeekForward, 1, errNone, 0},
      {1, 0, dmSeekForward, 1, errNone, 3},
      {0, 1, dmSeekForward, 1, errNone, 3},
      {0, 2, dmSeekForward, 1, dmErrSeekFailed, 3},
      {5, 1, dmSeekBackward, dmAllCategories, errNone, 3},
      {0xFFFF, 0, dmSeekBackward, 2, errNone, 5},
      {9, 0, dmSeekBackward, 1, errNone, 3},
      {4, 0, dmSeekForward, 3, dmErrSeekFailed, 4},
  };
  for (const Case& c : cases) {
    UInt16 index = c.start;
    EXPECT_EQ(DmSeekRecordInCategory(db, &index, c.offset, c.direction, c.category), c.err)
        << c.start << "/" << c.offset;
    EXPECT_EQ(index, c.index) << c.start << "/" << c.offset;
    EXPECT_EQ(DmGetLastErr(), c.err);
  }
}

TEST_F(DataMgrCategories, MovingAndDeletingACategory) {
  EXPECT_EQ(DmMoveCategory(db, 7, 1, true), errNone);
  EXPECT_EQ(DmNumRecordsInCategory(db, 1), 0);
  EXPECT_EQ(attr(2) & dmRecAttrCategoryMask, 7);
  EXPECT_TRUE(attr(2) & dmRecAttrSecret);
  DmDeleteRecord(db, 0);
  // The record deleted before is passed over; the rest of the category goes.
  EXPECT_EQ(DmDeleteCategory(db, 7), errNone);
  for (UInt16 i : {0, 2, 3}) EXPECT_TRUE(attr(i) & dmRecAttrDelete) << i;
  EXPECT_FALSE(attr(1) & dmRecAttrDelete);
  EXPECT_EQ(DmNumRecords(db), 6) << "deleted records keep their entries";
}
}  // namespace

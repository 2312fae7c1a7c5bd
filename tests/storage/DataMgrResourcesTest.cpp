#include "DataMgrFixture.h"
#include "ImageSupport.h"
#include "storage/quorvanefile.h"

namespace {
class DataMgrResources : public DataMgrFixture {
 protected:
  LocalID loadFile(const char* relative) {
    auto bytes = readWholeFile(SharedDataPath(relative));
    LocalID id = 0;
    EXPECT_EQ(CreateOrLoadDatabaseFromImage(0, bytes.data(), static_cast<UInt32>(bytes.size()), nullptr, nullptr, &id,
                                            0, nullptr),
              errNone);
    return id;
  }
};

TEST_F(DataMgrResources, TheNewestOpenDatabaseHidesOlderOnes) {
  LocalID system = loadFile("testapps/apps/meminfo.prc");
  LocalID app = loadFile("testapps/apps/hello-v1.prc");
  DmOpenRef sys = DmOpenDatabase(0, system, dmModeReadOnly);
  DmOpenRef records = DmOpenDatabase(0, create("Plain"), dmModeReadOnly);
  DmOpenRef hello = DmOpenDatabase(0, app, dmModeReadOnly);
  ASSERT_TRUE(sys && records && hello);

  MemHandle code1 = DmGetResource(FourCCs::code, 1);
  ASSERT_NE(code1, 0u);
  EXPECT_EQ(DmGetLastErr(), errNone);
  DmOpenRef where = nullptr;
  EXPECT_NE(DmSearchResource(0, 0, code1, &where), 0xFFFF);
  EXPECT_EQ(where, hello) << "the application's code comes before the older database's";
  EXPECT_EQ(DmFindResource(hello, 0, 0, code1), DmFindResource(hello, FourCCs::code, 1, 0));

  // Only meminfo has a form; DmGetResource finds it, DmGet1Resource looks at the newest database alone.
  MemHandle form = 0;
  for (UInt16 i = 0; i < DmNumResources(sys) && !form; ++i) {
    UInt32 type;
    UInt16 id;
    DmResourceInfo(sys, i, &type, &id, nullptr);
    if (type == fourCC("tFRM") && DmFindResource(hello, type, id, 0) == 0xFFFF) form = DmGetResource(type, id);
  }
  ASSERT_NE(form, 0u);
  UInt32 formType;
  UInt16 formID;
  DmResourceInfo(sys, DmFindResource(sys, 0, 0, form), &formType, &formID, nullptr);
  EXPECT_EQ(DmGet1Resource(formType, formID), 0u);
  EXPECT_EQ(DmGetLastErr(), dmErrResourceNotFound);
  EXPECT_EQ(DmGetResource(fourCC("none"), 1), 0u);
  EXPECT_EQ(DmGetLastErr(), dmErrResourceNotFound);

  EXPECT_EQ(DmNextOpenResDatabase(nullptr), hello);
  EXPECT_EQ(DmNextOpenResDatabase(hello), sys) << "record databases are passed over";
  EXPECT_EQ(DmFindResource(records, FourCCs::code, 1, 0), 0xFFFF);
}

TEST_F(DataMgrResources, TypeIndexesInfoAndRecordCallsOnResourceDatabases) {
  LocalID id = loadFile("testapps/apps/hello-v1.prc");
  DmOpenRef db = DmOpenDatabase(0, id, dmModeReadWrite);
  UInt16 code1 = DmFindResourceType(db, FourCCs::code, 1);
  ASSERT_NE(code1, 0xFFFF);
  UInt32 type = 0;
  UInt16 resID = 9;
  EXPECT_EQ(DmResourceInfo(db, code1, &type, &resID, nullptr), errNone);
  EXPECT_EQ(type, FourCCs::code);
  EXPECT_EQ(DmFindResourceType(db, FourCCs::code, 0), DmFindResource(db, FourCCs::code, resID == 1 ? 0 : 1, 0));
  EXPECT_EQ(DmFindResourceType(db, FourCCs::code, 9), 0xFFFF);
  EXPECT_EQ(DmResourceInfo(db, 99, &type, &resID, nullptr), dmErrIndexOutOfRange);
  EXPECT_EQ(type, 0u) << "outputs are cleared first";
  EXPECT_EQ(DmRecordInfo(db, 0, nullptr, nullptr, nullptr), dmErrNotRecordDB);
  UInt16 at = 0;
  EXPECT_EQ(DmNewRecord(db, &at, 4), 0u);
  EXPECT_EQ(DmGetLastErr(), dmErrNotRecordDB);
  DmOpenRef records = DmOpenDatabase(0, create("Plain"), dmModeReadWrite);
  EXPECT_EQ(DmResourceInfo(records, 0, nullptr, nullptr, nullptr), dmErrNotResourceDB);

  UInt32 newType = fourCC("tSTR");
  UInt16 newID = 2000;
  EXPECT_EQ(DmSetResourceInfo(db, code1, &newType, &newID), errNone);
  EXPECT_NE(DmGetResource(newType, newID), 0u);
  EXPECT_TRUE(attributes(id) & dmHdrAttrDirty);
}

TEST_F(DataMgrResources, NewResizedAndRemovedResources) {
  LocalID id = create("Res", FourCCs::appl, fourCC("rEsz"), true);
  DmOpenRef db = DmOpenDatabase(0, id, dmModeReadWrite);
  MemHandle h = DmNewResource(db, fourCC("tSTR"), 1000, 6);
  ASSERT_NE(h, 0u);
  DmWrite(MemHandleLock(h), 0, "hello", 6);
  MemHandleUnlock(h);
  EXPECT_EQ(DmNumResources(db), 1);
  EXPECT_EQ(DmNewResource(db, fourCC("tSTR"), 1001, 0), 0u);
  EXPECT_EQ(DmGetLastErr(), dmErrMemError);

  MemHandle arm = DmNewResource(db, fourCC("ARMC"), 1, 64);
  ASSERT_NE(arm, 0u);
  void* code = MemHandleLock(arm);
  EXPECT_TRUE(IsChunkExecutable(code));
  EXPECT_TRUE(IsChunkWriteProtected(code)) << "ARM code changes only through DmWrite";
  EXPECT_EQ(DmWrite(code, 0, "\x1e\xff\x2f\xe1", 4), errNone);
  EXPECT_EQ(static_cast<UInt8*>(code)[3], 0xE1);
  EXPECT_TRUE(IsChunkWriteProtected(code));
  MemHandleUnlock(arm);

  MemHandle plain = DmNewHandle(db, 16);
  EXPECT_EQ(DmAttachResource(db, plain, fourCC("armc"), 2), errNone);
  EXPECT_TRUE(IsChunkExecutable(MemHandleDataPtr(plain))) << "attached ARM code moves into executable memory";

  EXPECT_EQ(DmResizeResource(h, 100), h);
  EXPECT_EQ(MemHandleSize(h), 100u);
  EXPECT_STREQ(static_cast<const char*>(MemHandleDataPtr(h)), "hello");

  // Removing a resource of the running application waits for the launch to end.
  static LocalID running;
  running = id;
  StorageSeams seams{};
  seams.currentAppDatabase = [](UInt16* card, LocalID* dbID) {
    *card = 0;
    *dbID = running;
  };
  setStorageSeams(seams);
  void* armData = MemHandleDataPtr(arm);
  EXPECT_EQ(DmRemoveResource(db, DmFindResource(db, fourCC("ARMC"), 1, 0)), errNone);
  EXPECT_TRUE(ValidChunk(armData));
  DmCloseDatabase(db);
  EXPECT_FALSE(ValidChunk(armData)) << "freed when the application's database closed";
  running = 0;
  db = DmOpenDatabase(0, id, dmModeReadWrite);
  EXPECT_EQ(DmNumResources(db), 2);
  EXPECT_EQ(DmRemoveResource(db, 0), errNone);
  EXPECT_FALSE(ValidMemHandle(h));
}
}  // namespace

// The Palm OS Data Manager: databases as header chunks in the storage heap,
// found through a name-sorted directory, opened through DmOpenRefs, holding
// records. Every call here has its Palm name and signature; pointers are host
// pointers into the arena, handles and LocalIDs 32-bit values.
#pragma once
#include "palm/PalmTypes.h"

// An open database: the address of its access block in the arena.
using DmOpenRef = void*;

// Open modes
constexpr UInt16 dmModeReadOnly = 0x0001;
constexpr UInt16 dmModeWrite = 0x0002;
constexpr UInt16 dmModeReadWrite = 0x0003;
constexpr UInt16 dmModeLeaveOpen = 0x0004;
constexpr UInt16 dmModeExclusive = 0x0008;
constexpr UInt16 dmModeShowSecret = 0x0010;

// Database header attributes
constexpr UInt16 dmHdrAttrResDB = 0x0001;
constexpr UInt16 dmHdrAttrReadOnly = 0x0002;
constexpr UInt16 dmHdrAttrAppInfoDirty = 0x0004;
constexpr UInt16 dmHdrAttrBackup = 0x0008;
constexpr UInt16 dmHdrAttrStub = 0x1000;   // only the header is in memory
constexpr UInt16 dmHdrAttrDirty = 0x2000;  // changed since last saved
constexpr UInt16 dmHdrAttrOpen = 0x8000;

// Record attributes
constexpr UInt8 dmRecAttrDelete = 0x80;
constexpr UInt8 dmRecAttrDirty = 0x40;
constexpr UInt8 dmRecAttrBusy = 0x20;
constexpr UInt8 dmRecAttrSecret = 0x10;
constexpr UInt8 dmRecAttrCategoryMask = 0x0F;
constexpr UInt16 dmAllCategories = 0xFF;
constexpr UInt16 dmMaxRecordIndex = 0xFFFF;
constexpr Int16 dmSeekForward = 1;
constexpr Int16 dmSeekBackward = -1;
constexpr UInt32 dmDBNameLength = 32;

// The caller's search state of DmGetNextDatabaseByTypeCreator (its layout is ours).
struct DmSearchStateType {
  UInt32 info[8];
};

// Directory and database header
Err DmInit();
Err DmCreateDatabase(UInt16 cardNo, const Char* nameP, UInt32 creator, UInt32 type, Boolean resDB);
Err DmDeleteDatabase(UInt16 cardNo, LocalID dbID);
UInt16 DmNumDatabases(UInt16 cardNo);
LocalID DmGetDatabase(UInt16 cardNo, UInt16 index);
LocalID DmFindDatabase(UInt16 cardNo, const Char* nameP);
Err DmGetNextDatabaseByTypeCreator(Boolean newSearch, DmSearchStateType* stateInfoP, UInt32 type, UInt32 creator,
                                   Boolean onlyLatestVers, UInt16* cardNoP, LocalID* dbIDP);
Err DmDatabaseInfo(UInt16 cardNo, LocalID dbID, Char* nameP, UInt16* attributesP, UInt16* versionP, UInt32* crDateP,
                   UInt32* modDateP, UInt32* bckUpDateP, UInt32* modNumP, LocalID* appInfoIDP, LocalID* sortInfoIDP,
                   UInt32* typeP, UInt32* creatorP);
Err DmSetDatabaseInfo(UInt16 cardNo, LocalID dbID, const Char* nameP, UInt16* attributesP, UInt16* versionP,
                      UInt32* crDateP, UInt32* modDateP, UInt32* bckUpDateP, UInt32* modNumP, LocalID* appInfoIDP,
                      LocalID* sortInfoIDP, UInt32* typeP, UInt32* creatorP);
Err DmDatabaseSize(UInt16 cardNo, LocalID dbID, UInt32* numRecordsP, UInt32* totalBytesP, UInt32* dataBytesP);
Err DmDatabaseProtect(UInt16 cardNo, LocalID dbID, Boolean protect);

// Opening and closing
DmOpenRef DmOpenDatabase(UInt16 cardNo, LocalID dbID, UInt16 mode);
DmOpenRef DmOpenDBNoOverlay(UInt16 cardNo, LocalID dbID, UInt16 mode);
DmOpenRef DmOpenDatabaseByTypeCreator(UInt32 type, UInt32 creator, UInt16 mode);
Err DmCloseDatabase(DmOpenRef dbP);
DmOpenRef DmNextOpenDatabase(DmOpenRef currentP);
Err DmOpenDatabaseInfo(DmOpenRef dbP, LocalID* dbIDP, UInt16* openCountP, UInt16* modeP, UInt16* cardNoP,
                       Boolean* resDBP);
LocalID DmGetAppInfoID(DmOpenRef dbP);
void DmGetDatabaseLockState(DmOpenRef dbR, UInt8* highest, UInt32* count, UInt32* busy);
Err DmResetRecordStates(DmOpenRef dbP);
Err DmGetLastErr();

// Records
UInt16 DmNumRecords(DmOpenRef dbP);
UInt16 DmNumRecordsInCategory(DmOpenRef dbP, UInt16 category);
Err DmRecordInfo(DmOpenRef dbP, UInt16 index, UInt16* attrP, UInt32* uniqueIDP, LocalID* chunkIDP);
Err DmSetRecordInfo(DmOpenRef dbP, UInt16 index, UInt16* attrP, UInt32* uniqueIDP);
Err DmAttachRecord(DmOpenRef dbP, UInt16* atP, MemHandle newH, MemHandle* oldHP);
Err DmDetachRecord(DmOpenRef dbP, UInt16 index, MemHandle* oldHP);
Err DmMoveRecord(DmOpenRef dbP, UInt16 from, UInt16 to);
MemHandle DmNewRecord(DmOpenRef dbP, UInt16* atP, UInt32 size);
Err DmRemoveRecord(DmOpenRef dbP, UInt16 index);
Err DmDeleteRecord(DmOpenRef dbP, UInt16 index);
Err DmArchiveRecord(DmOpenRef dbP, UInt16 index);
MemHandle DmNewHandle(DmOpenRef dbP, UInt32 size);
Err DmRemoveSecretRecords(DmOpenRef dbP);
Err DmFindRecordByID(DmOpenRef dbP, UInt32 uniqueID, UInt16* indexP);
MemHandle DmQueryRecord(DmOpenRef dbP, UInt16 index);
MemHandle DmGetRecord(DmOpenRef dbP, UInt16 index);
MemHandle DmQueryNextInCategory(DmOpenRef dbP, UInt16* indexP, UInt16 category);
UInt16 DmPositionInCategory(DmOpenRef dbP, UInt16 index, UInt16 category);
Err DmSeekRecordInCategory(DmOpenRef dbP, UInt16* indexP, UInt16 offset, Int16 direction, UInt16 category);
MemHandle DmResizeRecord(DmOpenRef dbP, UInt16 index, UInt32 newSize);
Err DmReleaseRecord(DmOpenRef dbP, UInt16 index, Boolean dirty);
UInt16 DmSearchRecord(MemHandle recH, DmOpenRef* dbPP);
Err DmMoveCategory(DmOpenRef dbP, UInt16 toCategory, UInt16 fromCategory, Boolean dirty);
Err DmDeleteCategory(DmOpenRef dbR, UInt16 categoryNum);
Err DmWriteCheck(void* recordP, UInt32 offset, UInt32 bytes);
Err DmWrite(void* recordP, UInt32 offset, const void* srcP, UInt32 bytes);
Err DmStrCopy(void* recordP, UInt32 offset, const Char* srcP);
Err DmSet(void* recordP, UInt32 offset, UInt32 bytes, UInt8 value);

// The Memory Manager frees an application asks for. A chunk a database holds
// (its header, a record, a resource, an info block) is refused with
// memErrInvalidParam: freed from under the database, it would go on being
// named by it. A feature block goes with its feature, as any free of one does.
Err MemChunkFreeForApplication(void* p);
Err MemHandleFreeForApplication(MemHandle h);

// Resources
MemHandle DmGetResource(UInt32 type, UInt16 resID);
MemHandle DmGet1Resource(UInt32 type, UInt16 resID);
DmOpenRef DmNextOpenResDatabase(DmOpenRef dbP);
UInt16 DmSearchResource(UInt32 resType, UInt16 resID, MemHandle resH, DmOpenRef* dbPP);
UInt16 DmFindResourceType(DmOpenRef dbP, UInt32 resType, UInt16 typeIndex);
UInt16 DmFindResource(DmOpenRef dbP, UInt32 resType, UInt16 resID, MemHandle resH);
UInt16 DmNumResources(DmOpenRef dbP);
Err DmResourceInfo(DmOpenRef dbP, UInt16 index, UInt32* resTypeP, UInt16* resIDP, LocalID* chunkLocalIDP);
Err DmSetResourceInfo(DmOpenRef dbP, UInt16 index, UInt32* resTypeP, UInt16* resIDP);
Err DmAttachResource(DmOpenRef dbP, MemHandle newH, UInt32 resType, UInt16 resID);
Err DmDetachResource(DmOpenRef dbP, UInt16 index, MemHandle* oldHP);
MemHandle DmNewResource(DmOpenRef dbP, UInt32 resType, UInt16 resID, UInt32 size);
Err DmRemoveResource(DmOpenRef dbP, UInt16 index);
MemHandle DmResizeResource(MemHandle resourceH, UInt32 newSize);
Err DmReleaseResource(MemHandle resourceH);
MemHandle DmGetResourceIndex(DmOpenRef dbP, UInt16 index);

// Sorting. The comparison routine of the Palm calls is the application's 68K
// routine (its address); native callers give a RecordComparison.
struct SortRecordInfoType {
  UInt8 attributes;
  UInt8 uniqueID[3];
};
using DmComparF = Int16 (*)(void* rec1, void* rec2, Int16 other, SortRecordInfoType* rec1SortInfo,
                            SortRecordInfoType* rec2SortInfo, MemHandle appInfoH);
struct RecordComparison {
  EmuAddr routine68K = 0;
  DmComparF native = nullptr;
};
Err DmInsertionSort(DmOpenRef dbR, EmuAddr comparF, Int16 other);
Err DmQuickSort(DmOpenRef dbP, EmuAddr comparF, Int16 other);
UInt16 DmFindSortPosition(DmOpenRef dbP, void* newRecord, SortRecordInfoType* newRecordInfo, EmuAddr compar,
                          Int16 other);
UInt16 DmFindSortPositionV10(DmOpenRef dbP, void* newRecord, EmuAddr compar, Int16 other);
Err SortRecords(DmOpenRef dbP, const RecordComparison& compare, Int16 other);
UInt16 FindSortPosition(DmOpenRef dbP, void* newRecord, SortRecordInfoType* newRecordInfo,
                        const RecordComparison& compare, Int16 other);

// Start-up and launch services
Boolean DataMgrInit();
void DataMgrTerminate();
void CreateEmptyDatabases();
void CloseDatabasesOpenedByApplication();
void CloseResourceDatabasesOpenedByApplication();
void UnloadDatabases(Boolean recordDBsOnly, Boolean force);
Err UnloadDatabase(LocalID dbID, Boolean recordDBsOnly, Boolean force);
void SetBackupDatabaseBeforeSaving(UInt8 flag);

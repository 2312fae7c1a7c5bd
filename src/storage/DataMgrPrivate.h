// Layouts and internal operations shared by the Data Manager's files. Every
// structure here is big-endian in the arena, where 68K code may read it.
#pragma once
#include <vector>

#include "palm/Address.h"
#include "palm/Endian.h"
#include "palm/PalmTypes.h"
#include "palm/PdbFormat.h"
#include "storage/DATAMGR.h"

// DatabaseHdrType: the image header (its fields at the same offsets), a
// 2-byte pad, then the entries of its own record list laid out as in an image.
namespace DbHdr {
using PdbFormat::kName, PdbFormat::kAttributes, PdbFormat::kVersion, PdbFormat::kCreationDate,
    PdbFormat::kModificationDate, PdbFormat::kLastBackupDate, PdbFormat::kModificationNumber, PdbFormat::kAppInfoID,
    PdbFormat::kSortInfoID, PdbFormat::kType, PdbFormat::kCreator, PdbFormat::kUniqueIDSeed,
    PdbFormat::kNextRecordListID, PdbFormat::kNumRecords, PdbFormat::kRecordEntrySize, PdbFormat::kResourceEntrySize;
constexpr UInt32 kEntries = PdbFormat::kHeaderSize;
constexpr UInt32 kSize = PdbFormat::kHeaderSize + PdbFormat::kPadSize;

inline UInt16 attributes(const UInt8* h) { return get16(h + kAttributes); }
inline void setAttributes(UInt8* h, UInt16 a) { set16(h + kAttributes, a); }
inline bool isResourceDB(const UInt8* h) { return attributes(h) & dmHdrAttrResDB; }
inline UInt32 entrySize(const UInt8* h) { return static_cast<UInt32>(PdbFormat::entrySize(isResourceDB(h))); }
inline const Char* name(const UInt8* h) { return reinterpret_cast<const Char*>(h); }
inline UInt32 type(const UInt8* h) { return get32(h + kType); }
inline UInt32 creator(const UInt8* h) { return get32(h + kCreator); }
// Records the header's database as changed: dirty, and a new modification number.
inline void markChanged(UInt8* h) {
  setAttributes(h, attributes(h) | dmHdrAttrDirty);
  set32(h + kModificationNumber, get32(h + kModificationNumber) + 1);
}
}  // namespace DbHdr

// A record list: the header's own (count at 76, entries at 78) or a further
// chunk (next list at 0, count at 4, entries at 6).
struct RecordList {
  UInt8* chunk = nullptr;
  bool inHeader = true;

  UInt8* countField() const { return chunk + (inHeader ? DbHdr::kNumRecords : 4); }
  UInt16 count() const { return get16(countField()); }
  UInt8* entries() const { return chunk + (inHeader ? DbHdr::kEntries : 6); }
  LocalID next() const { return get32(chunk + (inHeader ? DbHdr::kNextRecordListID : 0)); }
  UInt32 bytesFor(UInt32 n, UInt32 entrySize) const { return (inHeader ? DbHdr::kSize : 8) + n * entrySize; }
};

// Record entry: chunk LocalID (4), attributes (1), unique ID (3).
namespace RecEntry {
inline LocalID chunkID(const UInt8* e) { return get32(e); }
inline UInt8 attributes(const UInt8* e) { return e[4]; }
inline UInt32 uniqueID(const UInt8* e) { return get32(e + 4) & 0xFFFFFF; }
inline void setChunkID(UInt8* e, LocalID id) { set32(e, id); }
inline void setAttributes(UInt8* e, UInt8 a) { e[4] = a; }
inline void setUniqueID(UInt8* e, UInt32 id) { set32(e + 4, (UInt32(e[4]) << 24) | (id & 0xFFFFFF)); }
}  // namespace RecEntry
// Resource entry: type (4), id (2), chunk LocalID (4).
constexpr UInt32 kResourceChunkOffset = PdbFormat::kResourceDataOffset;
inline LocalID entryChunkID(const UInt8* e, bool resource) { return get32(e + (resource ? kResourceChunkOffset : 0)); }

// DmOpenInfoType: one per open database, 37 bytes.
namespace OpenInfo {
enum Offset : UInt32 {
  kNext = 0,
  kOpenCount = 4,
  kFlags = 10,
  kHdrID = 12,
  kHdrH = 16,
  kHdrP = 20,
  kCardNo = 24,
  kNumRecords = 26,
  kEmptyAtOpen = 36
};
constexpr UInt32 kSize = 37;
constexpr UInt16 kExclusive = 0x8000;
constexpr UInt16 kWrite = 0x4000;
constexpr UInt16 kResDB = 0x2000;
inline UInt16 flags(const UInt8* o) { return get16(o + kFlags); }
inline UInt8* header(const UInt8* o) { return static_cast<UInt8*>(fromEmu(get32(o + kHdrP))); }
inline LocalID hdrID(const UInt8* o) { return get32(o + kHdrID); }
inline UInt16 cardNo(const UInt8* o) { return get16(o + kCardNo); }
inline UInt16 numRecords(const UInt8* o) { return get16(o + kNumRecords); }
}  // namespace OpenInfo

// DmAccessType (what a DmOpenRef points at): one per open call, 18 bytes.
namespace Access {
enum Offset : UInt32 { kNext = 0, kMode = 4, kOpenP = 6, kModNum = 10, kResDB = 14, kHint = 16 };
constexpr UInt32 kSize = 18;
inline UInt16 mode(const UInt8* a) { return get16(a + kMode); }
inline UInt8* openInfo(const UInt8* a) { return static_cast<UInt8*>(fromEmu(get32(a + kOpenP))); }
}  // namespace Access

// The host file a database had under its former name, removed once a file
// under the new name holds the database.
struct StaleDatabaseFile {
  LocalID dbID;
  Char name[dmDBNameLength];
  UInt16 attributes;
  UInt16 version;
  UInt32 creator;
  UInt32 type;
};

struct DataMgrGlobals {
  Err lastErr = 0;
  MemHandle protectListH = 0;
  EmuAddr openInfoHead = 0;
  EmuAddr accessHead = 0;
  UInt8 flushWhenIdle = 0;
  UInt8 unloadAfterClose = 0;
  UInt8 backupBeforeSaving = 0;
  std::vector<StaleDatabaseFile> staleFiles;
};

DataMgrGlobals& dmGlobals();
inline Err setLastErr(Err err) { return dmGlobals().lastErr = err; }

// Directory
Boolean ValidDatabaseName(const Char* name);
Err FindDatabaseByName(UInt16 cardNo, const Char* name, LocalID* dbIDP);
Err FindDatabaseInDirectory(UInt16 cardNo, LocalID dbID);
// Whether a database already holds the chunk of h: as its header, a record,
// a resource or an info block. Such a chunk cannot be attached again.
Boolean ChunkHeldByDatabase(UInt16 cardNo, MemHandle h);
// Binary search of entries low..high of one directory block by name: *dbIDP
// the match (0 when none), *indexP the match or the insertion position.
Boolean SearchForDatabaseByName(const UInt8* block, Int32 low, Int32 high, const Char* name, LocalID* dbIDP,
                                UInt16* indexP);
Err AddDatabaseToDirectory(UInt16 cardNo, LocalID dbID, const Char* name);
Err RemoveDatabaseFromDirectory(UInt16 cardNo, LocalID dbID);
// The database's entry moves to the place its new name sorts to.
void ResortDatabaseInDirectory(UInt16 cardNo, LocalID dbID, const Char* newName);
Boolean DatabaseProtected(UInt16 cardNo, LocalID dbID);
Err GetNextDatabaseByTypeCreator(Boolean newSearch, DmSearchStateType* stateP, UInt32 type, UInt32 creator,
                                 Boolean onlyLatestVers, UInt16* cardNoP, LocalID* dbIDP, Boolean wildcards);

// The handle an entry's chunk LocalID stands for; 0 for no chunk.
inline MemHandle entryHandle(LocalID chunkID) { return chunkID ? (chunkID & ~1u) : 0; }
// True when dbID is the database of the running application.
Boolean IsCurrentAppDatabase(UInt16 cardNo, LocalID dbID);

// The pointer a LocalID stands for, without locking: 0 → null, a pointer ID
// → its address, a handle ID → the data pointer in its master block.
void* GetPtrWithoutLocking(LocalID id);
// The header of a database, or null when dbID is not a valid chunk.
UInt8* databaseHeader(LocalID dbID);

// Creation
Err CreateDatabase(UInt16 cardNo, const Char* name, UInt32 creator, UInt32 type, Boolean resDB, UInt16 numEntries,
                   UInt8** headerP, LocalID* dbIDP);

// Open references
Boolean ValidAccessPtr(DmOpenRef ref);
UInt8* FindOpenInfo(UInt16 cardNo, LocalID dbID);
Boolean FileOpenedForWrite(const UInt8* openInfo, Boolean sameDepthOnly);
DmOpenRef OpenSingleDatabase(UInt16 cardNo, LocalID dbID, UInt16 mode, Boolean shareAlways);
EmuAddr GetDmAccessList();
Boolean AnyLockedSegments(UInt16 cardNo, const UInt8* header);

// Records the file of a database under its present name as one to remove
// once the database is saved under a new one.
void NoteStaleDatabaseFile(LocalID dbID, const UInt8* header);
// Removes the stale files of a database (all of them, or none remain noted
// when a file cannot be removed). False when one could not be removed.
Boolean RemoveStaleDatabaseFiles(LocalID dbID);

// Writes the database to its host file now. A database that could not be
// written keeps dmHdrAttrDirty, so that a later save writes it.
Boolean SaveDatabaseNow(UInt16 cardNo, LocalID dbID);

// Database directory blocks: next block LocalID (4), count (2), LocalIDs.
namespace DirBlock {
inline LocalID next(const UInt8* b) { return get32(b); }
inline UInt16 count(const UInt8* b) { return get16(b + 4); }
inline LocalID entry(const UInt8* b, UInt32 i) { return get32(b + 6 + 4 * i); }
inline void setEntry(UInt8* b, UInt32 i, LocalID id) { set32(b + 6 + 4 * i, id); }
inline UInt32 bytesFor(UInt32 n) { return 6 + 4 * n; }
}  // namespace DirBlock

// The first directory block of the card, null when the card has none.
UInt8* firstDirectoryBlock(UInt16 cardNo);
// Every block of the card's directory in chain order, until visit returns false.
template <typename Visit>
void forEachDirectoryBlock(UInt16 cardNo, Visit visit) {
  for (UInt8* b = firstDirectoryBlock(cardNo); b; b = static_cast<UInt8*>(GetPtrWithoutLocking(DirBlock::next(b))))
    if (!visit(b)) return;
}

// Every list of a database's chain, from the header's own, until visit returns false.
template <typename Visit>
void forEachRecordList(UInt8* header, Visit visit) {
  RecordList list{header, true};
  while (list.chunk) {
    if (!visit(list)) return;
    list = RecordList{static_cast<UInt8*>(GetPtrWithoutLocking(list.next())), false};
  }
}

// Every entry of a database, in index order.
template <typename Visit>
void forEachEntry(UInt8* header, Visit visit) {
  UInt32 size = DbHdr::entrySize(header);
  forEachRecordList(header, [&](const RecordList& list) {
    for (UInt16 i = 0; i < list.count(); ++i) visit(list.entries() + i * size);
    return true;
  });
}

// An entry found by index in an open database.
struct EntryRef {
  UInt8* access = nullptr;
  UInt8* openInfo = nullptr;
  UInt8* header = nullptr;
  RecordList list;
  UInt16 indexInList = 0;
  UInt8* entry = nullptr;
};

// Finds entry index of an open database. Errors, in this order: invalid
// reference, write needed but not granted, record call on a resource
// database (or the reverse), index out of range.
Err FindByIndex(DmOpenRef ref, Boolean needWrite, Boolean wantResource, UInt16 index, EntryRef* found);
// Checks a reference for a call that needs no particular entry.
Err CheckAccess(DmOpenRef ref, Boolean needWrite, Boolean wantResource, EntryRef* found);
// Opens a zeroed entry at *indexP (clamped to the end, *indexP updated).
Err InsertEntry(EntryRef& db, UInt16* indexP, UInt8** entryP);
// Removes entry index; its chunk is left alone.
Err RemoveEntry(EntryRef& db, UInt16 index);
// A unique ID no record of the database has; false when none is free.
Boolean GetUniqueID(UInt8* header, UInt32* idP);

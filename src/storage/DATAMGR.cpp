// The Data Manager's globals and start-up, and the database directory:
// counting, indexing and finding databases by name or by type and creator.
#include "storage/DATAMGR.h"

#include <cstring>

#include "host/Globals.h"
#include "host/Reporting.h"
#include "palm/ErrorCodes.h"
#include "storage/DataMgrPrivate.h"
#include "storage/DatabaseFiles.h"
#include "storage/StorageSeams.h"
#include "storage/memorymgr.h"

DataMgrGlobals& dmGlobals() {
  auto* g = getGlobalsAs<DataMgrGlobals>(ModuleId::DataMgr);
  QV_ASSERT(g != nullptr);
  return *g;
}

Boolean DataMgrInit() {
  auto* g = new DataMgrGlobals;
  QV_VALIDATE(g);
  setGlobals(ModuleId::DataMgr, g);
  return true;
}

void DataMgrTerminate() {
  auto* g = getGlobalsAs<DataMgrGlobals>(ModuleId::DataMgr);
  setGlobals(ModuleId::DataMgr, nullptr);
  delete g;
}

Err DmInit() { return dmErrInvalidParam; }

Err DmGetLastErr() { return dmGlobals().lastErr; }

void SetBackupDatabaseBeforeSaving(UInt8 flag) { dmGlobals().backupBeforeSaving = flag; }

Boolean SaveDatabaseNow(UInt16 cardNo, LocalID dbID) {
  UInt8* hdr = databaseHeader(dbID);
  if (!hdr) return false;
  Boolean saved = SaveDatabaseToFile(cardNo, dbID, dmGlobals().backupBeforeSaving);
  UInt16 attr = DbHdr::attributes(hdr);
  DbHdr::setAttributes(hdr, saved ? (attr & ~dmHdrAttrDirty) : (attr | dmHdrAttrDirty));
  if (saved) RemoveStaleDatabaseFiles(dbID);
  return saved;
}

namespace {
// The file fields of a header, as they name its host file.
StaleDatabaseFile fileOf(LocalID dbID, const UInt8* h) {
  StaleDatabaseFile f{dbID,
                      {},
                      static_cast<UInt16>(DbHdr::attributes(h) & 0x4FFF),
                      get16(h + DbHdr::kVersion),
                      DbHdr::creator(h),
                      DbHdr::type(h)};
  std::strncpy(f.name, DbHdr::name(h), dmDBNameLength - 1);
  return f;
}

bool sameFile(const StaleDatabaseFile& a, const StaleDatabaseFile& b) {
  return std::strcmp(a.name, b.name) == 0 && a.attributes == b.attributes && a.version == b.version &&
         a.creator == b.creator && a.type == b.type;
}
}  // namespace

void NoteStaleDatabaseFile(LocalID dbID, const UInt8* header) {
  dmGlobals().staleFiles.push_back(fileOf(dbID, header));
}

Boolean RemoveStaleDatabaseFiles(LocalID dbID) {
  auto& stale = dmGlobals().staleFiles;
  const UInt8* hdr = databaseHeader(dbID);
  Boolean all = true;
  for (auto it = stale.begin(); it != stale.end();) {
    if (it->dbID != dbID) {
      ++it;
      continue;
    }
    // Renamed back: the stale name is the present file's own.
    bool current = hdr && sameFile(*it, fileOf(dbID, hdr));
    if (!current && !DeleteDatabaseFile(it->name, it->attributes, it->version, it->creator, it->type)) {
      WarningF("DmSetDatabaseInfo: Failed to delete %s", it->name);
      all = false;
      ++it;
      continue;
    }
    it = stale.erase(it);
  }
  return all;
}

Boolean IsCurrentAppDatabase(UInt16 cardNo, LocalID dbID) {
  UInt16 card = 0;
  LocalID id = 0;
  storageSeams().currentAppDatabase(&card, &id);
  return id && id == dbID && card == cardNo;
}

Boolean ValidDatabaseName(const Char* name) {
  if (!name) return false;
  size_t n = strnlen(name, dmDBNameLength);
  return n >= 1 && n < dmDBNameLength;
}

void* GetPtrWithoutLocking(LocalID id) {
  if (id == 0) return nullptr;
  if (!(id & 1)) return fromEmu(id & 0x7FFFFFFFu);
  return MemHandleDataPtr(id & ~1u);
}

UInt8* databaseHeader(LocalID dbID) {
  if (!(dbID & 0x80000000u) || !(dbID & 1)) return nullptr;
  void* p = MemHandleDataPtr(dbID & ~1u);
  return ValidChunk(p) && MemPtrSize(p) >= DbHdr::kSize ? static_cast<UInt8*>(p) : nullptr;
}

UInt8* firstDirectoryBlock(UInt16 cardNo) {
  LocalID dirID = 0;
  if (MemStoreInfo(cardNo, 1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &dirID))
    return nullptr;
  return static_cast<UInt8*>(GetPtrWithoutLocking(dirID));
}

UInt16 DmNumDatabases(UInt16 cardNo) {
  UInt32 n = 0;
  forEachDirectoryBlock(cardNo, [&](UInt8* b) {
    n += DirBlock::count(b);
    return true;
  });
  return static_cast<UInt16>(n);
}

LocalID DmGetDatabase(UInt16 cardNo, UInt16 index) {
  UInt32 i = index;
  LocalID found = 0;
  forEachDirectoryBlock(cardNo, [&](UInt8* b) {
    if (i < DirBlock::count(b)) {
      found = DirBlock::entry(b, i);
      return false;
    }
    i -= DirBlock::count(b);
    return true;
  });
  return found;
}

namespace {
int compareNames(const Char* name, LocalID dbID) {
  const UInt8* hdr = databaseHeader(dbID);
  if (!hdr) {
    WarningF("datamgr - FindDatabaseByName error: database header lock failed");
    return 1;
  }
  return std::strncmp(name, DbHdr::name(hdr), dmDBNameLength);
}
}  // namespace

// Binary search of one directory block; *indexP is the match or the insertion position.
Boolean SearchForDatabaseByName(const UInt8* block, Int32 low, Int32 high, const Char* name, LocalID* dbIDP,
                                UInt16* indexP) {
  *dbIDP = 0;
  *indexP = static_cast<UInt16>(low);
  while (low <= high) {
    Int32 mid = (low + high) / 2;
    int c = compareNames(name, DirBlock::entry(block, mid));
    if (c > 0) {
      low = mid + 1;
      *indexP = static_cast<UInt16>(low);
    } else if (c < 0) {
      high = mid - 1;
    } else {
      *dbIDP = DirBlock::entry(block, mid);
      *indexP = static_cast<UInt16>(mid);
      return true;
    }
  }
  return true;
}

Err FindDatabaseByName(UInt16 cardNo, const Char* name, LocalID* dbIDP) {
  *dbIDP = 0;
  if (!firstDirectoryBlock(cardNo)) return cardNo == 0 ? dmErrCantFind : errNone;
  forEachDirectoryBlock(cardNo, [&](UInt8* b) {
    UInt16 index;
    SearchForDatabaseByName(b, 0, Int32(DirBlock::count(b)) - 1, name, dbIDP, &index);
    return *dbIDP == 0;
  });
  return *dbIDP ? errNone : dmErrCantFind;
}

Err FindDatabaseInDirectory(UInt16 cardNo, LocalID dbID) {
  bool found = false;
  forEachDirectoryBlock(cardNo, [&](UInt8* b) {
    for (UInt32 i = 0; i < DirBlock::count(b) && !found; ++i) found = DirBlock::entry(b, i) == dbID;
    return !found;
  });
  return found ? errNone : dmErrCantFind;
}

Boolean ChunkHeldByDatabase(UInt16 cardNo, MemHandle h) {
  return GetMemPtrDBID(MemHandleDataPtr(h)) != 0 || FindDatabaseInDirectory(cardNo, MemHandleToLocalID(h)) == errNone;
}

LocalID DmFindDatabase(UInt16 cardNo, const Char* nameP) {
  if (!ValidDatabaseName(nameP)) {
    setLastErr(dmErrInvalidDatabaseName);
    return 0;
  }
  LocalID id = 0;
  setLastErr(FindDatabaseByName(cardNo, nameP, &id));
  return id;
}

namespace {
// Search state inside the caller's DmSearchStateType: card, directory index, last LocalID.
constexpr UInt32 kStateBytes = 18;
struct SearchState {
  UInt8* bytes;
  UInt16 card() const { return get16(bytes); }
  UInt16 index() const { return get16(bytes + 2); }
  LocalID last() const { return get32(bytes + 4); }
  void set(UInt16 card, UInt16 index, LocalID id) {
    set16(bytes, card);
    set16(bytes + 2, index);
    set32(bytes + 4, id);
  }
};

bool matches(const UInt8* hdr, UInt32 type, UInt32 creator, bool wildcards) {
  if (!(wildcards && type == 0) && DbHdr::type(hdr) != type) return false;
  if (!(wildcards && creator == 0) && DbHdr::creator(hdr) != creator) return false;
  return true;
}

// With only the latest version wanted: a database with the same type and
// creator and a higher version (or an equal one earlier in name order) wins.
bool isLatestVersion(UInt16 candidateIndex, const UInt8* candidate, UInt16 count) {
  UInt16 v = get16(candidate + DbHdr::kVersion);
  for (UInt16 i = 0; i < count; ++i) {
    if (i == candidateIndex) continue;
    const UInt8* other = databaseHeader(DmGetDatabase(0, i));
    if (!other || DbHdr::type(other) != DbHdr::type(candidate) || DbHdr::creator(other) != DbHdr::creator(candidate))
      continue;
    UInt16 ov = get16(other + DbHdr::kVersion);
    if (i < candidateIndex ? ov >= v : ov > v) return false;
  }
  return true;
}
}  // namespace

Err GetNextDatabaseByTypeCreator(Boolean newSearch, DmSearchStateType* stateP, UInt32 type, UInt32 creator,
                                 Boolean onlyLatestVers, UInt16* cardNoP, LocalID* dbIDP, Boolean wildcards) {
  DmSearchStateType local;
  SearchState state{reinterpret_cast<UInt8*>(stateP ? stateP : &local)};
  UInt16 start = 0;
  if (newSearch || !stateP) {
    std::memset(state.bytes, 0, kStateBytes);
  } else {
    start = DmGetDatabase(state.card(), state.index()) == state.last() ? state.index() + 1 : state.index();
  }
  UInt16 count = DmNumDatabases(0);
  for (UInt16 i = start; i < count; ++i) {
    LocalID id = DmGetDatabase(0, i);
    const UInt8* hdr = databaseHeader(id);
    if (!id) WarningF("datamgr - DmGetNextDatabaseByTypeCreator warning: Corrupted directory");
    if (!hdr) {
      if (id) WarningF("datamgr - DmGetNextDatabaseByTypeCreator warning: Unable to lock database header");
      continue;
    }
    if (!matches(hdr, type, creator, wildcards)) continue;
    if (onlyLatestVers && !isLatestVersion(i, hdr, count)) continue;
    if (cardNoP) *cardNoP = 0;
    if (dbIDP) *dbIDP = id;
    state.set(0, i, id);
    return errNone;
  }
  if (cardNoP) *cardNoP = 0;
  if (dbIDP) *dbIDP = 0;
  return dmErrCantFind;
}

Err DmGetNextDatabaseByTypeCreator(Boolean newSearch, DmSearchStateType* stateInfoP, UInt32 type, UInt32 creator,
                                   Boolean onlyLatestVers, UInt16* cardNoP, LocalID* dbIDP) {
  return GetNextDatabaseByTypeCreator(newSearch, stateInfoP, type, creator, onlyLatestVers, cardNoP, dbIDP, true);
}

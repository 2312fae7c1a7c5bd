// Reading, changing and measuring a database's header.
#include <cstring>

#include "host/Reporting.h"
#include "palm/ErrorCodes.h"
#include "storage/DataMgrPrivate.h"
#include "storage/DatabaseFiles.h"
#include "storage/memorymgr.h"

namespace {
// DmDatabaseInfo never shows the system's own stub and dirty bits.
constexpr UInt16 kReportedAttributes = 0xCFFF;
// Attributes an application may change. Open, dirty, stub and resource stay
// the system's: a stub bit set from outside would make a loaded database
// be reloaded from its file over unsaved changes.
constexpr UInt16 kSettableAttributes = 0x4FFE;

template <typename T>
void put(T* p, T v) {
  if (p) *p = v;
}

UInt32 chunkSize(LocalID id) {
  void* p = GetPtrWithoutLocking(id);
  return p ? MemPtrSize(p) : 0;
}

void setChunkOwner(LocalID id, LocalID dbID) {
  if (void* p = GetPtrWithoutLocking(id)) SetMemPtrDBID(p, dbID);
}

// An info block is a chunk of its own: one a database holds already (as its
// header, a record or an info block) would be freed with either database, and
// a LocalID that names no chunk would make every later save fail.
bool acceptableInfoBlock(UInt16 cardNo, const UInt8* hdr, UInt32 field, const LocalID* idP) {
  if (!idP || *idP == 0 || *idP == get32(hdr + field)) return true;
  void* p = GetPtrWithoutLocking(*idP);
  return p && ValidChunk(p) && GetMemPtrDBID(p) == 0 && FindDatabaseInDirectory(cardNo, *idP) != errNone;
}

bool differs16(const UInt8* hdr, UInt32 offset, const UInt16* v) { return v && get16(hdr + offset) != *v; }
bool differs32(const UInt8* hdr, UInt32 offset, const UInt32* v) { return v && get32(hdr + offset) != *v; }
}  // namespace

Err DmDatabaseInfo(UInt16 cardNo, LocalID dbID, Char* nameP, UInt16* attributesP, UInt16* versionP, UInt32* crDateP,
                   UInt32* modDateP, UInt32* bckUpDateP, UInt32* modNumP, LocalID* appInfoIDP, LocalID* sortInfoIDP,
                   UInt32* typeP, UInt32* creatorP) {
  if (FindDatabaseInDirectory(cardNo, dbID)) return dmErrInvalidParam;
  if ((appInfoIDP || sortInfoIDP) && !DatabaseLoaded(cardNo, dbID)) return dmErrInvalidParam;
  UInt8* hdr = databaseHeader(dbID);
  if (!hdr) return dmErrMemError;
  if ((crDateP || modDateP || bckUpDateP || modNumP) && !CurrentDatabaseDates(hdr)) return dmErrInvalidParam;
  if (nameP) std::memcpy(nameP, hdr, dmDBNameLength);
  put(attributesP, static_cast<UInt16>(DbHdr::attributes(hdr) & kReportedAttributes));
  put(versionP, get16(hdr + DbHdr::kVersion));
  put(crDateP, get32(hdr + DbHdr::kCreationDate));
  put(modDateP, get32(hdr + DbHdr::kModificationDate));
  put(bckUpDateP, get32(hdr + DbHdr::kLastBackupDate));
  put(modNumP, get32(hdr + DbHdr::kModificationNumber));
  put(appInfoIDP, get32(hdr + DbHdr::kAppInfoID));
  put(sortInfoIDP, get32(hdr + DbHdr::kSortInfoID));
  put(typeP, DbHdr::type(hdr));
  put(creatorP, DbHdr::creator(hdr));
  return errNone;
}

Err DmSetDatabaseInfo(UInt16 cardNo, LocalID dbID, const Char* nameP, UInt16* attributesP, UInt16* versionP,
                      UInt32* crDateP, UInt32* modDateP, UInt32* bckUpDateP, UInt32* modNumP, LocalID* appInfoIDP,
                      LocalID* sortInfoIDP, UInt32* typeP, UInt32* creatorP) {
  if (FindDatabaseInDirectory(cardNo, dbID)) return dmErrInvalidParam;
  if (nameP) {
    if (!ValidDatabaseName(nameP)) return dmErrInvalidDatabaseName;
    LocalID other = 0;
    FindDatabaseByName(cardNo, nameP, &other);
    if (other && other != dbID) return dmErrAlreadyExists;
  }
  if (!DatabaseLoaded(cardNo, dbID)) return dmErrInvalidParam;
  UInt8* hdr = databaseHeader(dbID);
  if (!hdr) return dmErrMemError;
  if (!acceptableInfoBlock(cardNo, hdr, DbHdr::kAppInfoID, appInfoIDP) ||
      !acceptableInfoBlock(cardNo, hdr, DbHdr::kSortInfoID, sortInfoIDP))
    return dmErrInvalidParam;
  UInt8 old[DbHdr::kSize];
  std::memcpy(old, hdr, sizeof old);

  UInt16 oldAttr = DbHdr::attributes(hdr);
  bool rename = (nameP && std::strncmp(nameP, DbHdr::name(hdr), dmDBNameLength) != 0) ||
                (attributesP && ((oldAttr ^ *attributesP) & kSettableAttributes)) ||
                differs16(hdr, DbHdr::kVersion, versionP) || differs32(hdr, DbHdr::kType, typeP) ||
                differs32(hdr, DbHdr::kCreator, creatorP);
  bool changed =
      rename || differs32(hdr, DbHdr::kCreationDate, crDateP) || differs32(hdr, DbHdr::kModificationDate, modDateP) ||
      differs32(hdr, DbHdr::kLastBackupDate, bckUpDateP) || differs32(hdr, DbHdr::kModificationNumber, modNumP) ||
      differs32(hdr, DbHdr::kAppInfoID, appInfoIDP) || differs32(hdr, DbHdr::kSortInfoID, sortInfoIDP);
  if (!changed) return errNone;

  if (nameP && std::strncmp(nameP, DbHdr::name(hdr), dmDBNameLength) != 0) {
    std::memset(hdr, 0, dmDBNameLength);
    std::strncpy(reinterpret_cast<Char*>(hdr), nameP, dmDBNameLength - 1);
    ResortDatabaseInDirectory(cardNo, dbID, nameP);
  }
  if (attributesP)
    DbHdr::setAttributes(hdr,
                         static_cast<UInt16>((oldAttr & ~kSettableAttributes) | (*attributesP & kSettableAttributes)));
  if (versionP) set16(hdr + DbHdr::kVersion, *versionP);
  if (crDateP) set32(hdr + DbHdr::kCreationDate, *crDateP);
  if (modDateP) set32(hdr + DbHdr::kModificationDate, *modDateP);
  if (bckUpDateP) set32(hdr + DbHdr::kLastBackupDate, *bckUpDateP);
  if (modNumP) set32(hdr + DbHdr::kModificationNumber, *modNumP);
  if (appInfoIDP) {
    setChunkOwner(get32(hdr + DbHdr::kAppInfoID), 0);
    set32(hdr + DbHdr::kAppInfoID, *appInfoIDP);
    setChunkOwner(*appInfoIDP, dbID);
  }
  if (sortInfoIDP) {
    setChunkOwner(get32(hdr + DbHdr::kSortInfoID), 0);
    set32(hdr + DbHdr::kSortInfoID, *sortInfoIDP);
    setChunkOwner(*sortInfoIDP, dbID);
  }
  if (typeP) set32(hdr + DbHdr::kType, *typeP);
  if (creatorP) set32(hdr + DbHdr::kCreator, *creatorP);
  DbHdr::markChanged(hdr);

  // The file under the new name is written first; the old one goes only once
  // a file holds the database, now or at a later save.
  if (rename) NoteStaleDatabaseFile(dbID, old);
  if (!(DbHdr::attributes(hdr) & dmHdrAttrOpen) || rename) SaveDatabaseNow(cardNo, dbID);
  return errNone;
}

Err DmDatabaseSize(UInt16 cardNo, LocalID dbID, UInt32* numRecordsP, UInt32* totalBytesP, UInt32* dataBytesP) {
  if (FindDatabaseInDirectory(cardNo, dbID)) return dmErrInvalidParam;
  if (!DatabaseLoaded(cardNo, dbID)) {
    WarningF("DmDatabaseSize: Failed to load database");
    return dmErrInvalidParam;
  }
  UInt8* hdr = databaseHeader(dbID);
  if (!hdr) return dmErrMemError;
  bool resource = DbHdr::isResourceDB(hdr);
  UInt32 numRecords = 0;
  UInt32 total =
      MemPtrSize(hdr) + chunkSize(get32(hdr + DbHdr::kAppInfoID)) + chunkSize(get32(hdr + DbHdr::kSortInfoID));
  UInt32 data = 0;
  Err err = errNone;
  forEachRecordList(hdr, [&](const RecordList& list) {
    numRecords += list.count();
    if (!list.inHeader) total += MemPtrSize(list.chunk);
    for (UInt16 i = 0; i < list.count(); ++i) {
      LocalID id = entryChunkID(list.entries() + i * DbHdr::entrySize(hdr), resource);
      if (!id) continue;
      void* p = GetPtrWithoutLocking(id);
      if (!p) err = dmErrMemError;
      UInt32 size = p ? MemPtrSize(p) : 0;
      total += size;
      data += size;
    }
    return err == errNone;
  });
  put(numRecordsP, numRecords);
  put(totalBytesP, total);
  put(dataBytesP, data);
  return err;
}

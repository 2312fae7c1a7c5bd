// How a database comes into existence: a zero-filled header chunk in the
// storage heap, entered in the directory in name order.
#include <cstring>

#include "host/Reporting.h"
#include "palm/ErrorCodes.h"
#include "storage/DataMgrPrivate.h"
#include "storage/StorageSeams.h"
#include "storage/memorymgr.h"

Err CreateDatabase(UInt16 cardNo, const Char* name, UInt32 creator, UInt32 type, Boolean resDB, UInt16 numEntries,
                   UInt8** headerP, LocalID* dbIDP) {
  if (!ValidDatabaseName(name)) return dmErrInvalidDatabaseName;
  LocalID existing = 0;
  FindDatabaseByName(cardNo, name, &existing);
  if (existing) return dmErrAlreadyExists;
  UInt32 entrySize = resDB ? DbHdr::kResourceEntrySize : DbHdr::kRecordEntrySize;
  MemHandle h = GetNewChunk(cardNo, 1, DbHdr::kSize + numEntries * entrySize, true, 0, false);
  if (!h) return memErrNotEnoughSpace;
  auto* hdr = static_cast<UInt8*>(MemHandleLock(h));
  LocalID dbID = MemHandleToLocalID(h);
  std::strncpy(reinterpret_cast<Char*>(hdr), name, dmDBNameLength - 1);
  DbHdr::setAttributes(hdr, resDB ? dmHdrAttrResDB : 0);
  UInt32 now = storageSeams().seconds();
  set32(hdr + DbHdr::kCreationDate, now);
  set32(hdr + DbHdr::kModificationDate, now);
  set32(hdr + DbHdr::kType, type);
  set32(hdr + DbHdr::kCreator, creator);
  set32(hdr + DbHdr::kUniqueIDSeed, 1);
  if (Err err = AddDatabaseToDirectory(cardNo, dbID, name)) {
    MemHandleFree(h);
    return err;
  }
  if (headerP) *headerP = hdr;
  if (dbIDP) *dbIDP = dbID;
  return errNone;
}

Err DmCreateDatabase(UInt16 cardNo, const Char* nameP, UInt32 creator, UInt32 type, Boolean resDB) {
  LocalID dbID = 0;
  UInt8* hdr = nullptr;
  if (Err err = CreateDatabase(cardNo, nameP, creator, type, resDB, 0, &hdr, &dbID)) return err;
  if (MemPtrUnlock(hdr)) WarningF("datamgr - DmCreateDatabase warning: database unlock failed");
  SaveDatabaseNow(cardNo, dbID);
  return errNone;
}

// Bounds-checked writes into database chunks. A write marks the chunk's
// database changed, and writes a database that is not open to its file at once.
#include <cstring>

#include "host/Reporting.h"
#include "palm/ErrorCodes.h"
#include "storage/DataMgrPrivate.h"
#include "storage/memorymgr.h"

namespace {
template <typename Fill>
Err writeChunk(void* recordP, UInt32 offset, UInt32 bytes, const char* warning, Fill fill) {
  if (Err err = DmWriteCheck(recordP, offset, bytes)) return err;
  LocalID dbID = GetMemPtrDBID(recordP);
  UInt8* hdr = dbID ? databaseHeader(dbID) : nullptr;
  if (dbID && !hdr) WarningF("%s", warning);
  if (hdr) DbHdr::setAttributes(hdr, DbHdr::attributes(hdr) | dmHdrAttrDirty);
  bool wasProtected = IsChunkWriteProtected(recordP);
  if (wasProtected) DisableWriteProtection(recordP);
  if (bytes) fill(static_cast<UInt8*>(recordP) + offset);
  if (wasProtected) EnableWriteProtection(recordP);
  if (hdr && !(DbHdr::attributes(hdr) & dmHdrAttrOpen)) SaveDatabaseNow(0, dbID);
  return errNone;
}
}  // namespace

Err DmWriteCheck(void* recordP, UInt32 offset, UInt32 bytes) {
  if (!recordP || !ValidChunk(recordP)) return dmErrWriteOutOfBounds;
  if (MemPtrLockCount(recordP) == 0) return memErrChunkNotLocked;
  if (std::uint64_t(offset) + bytes > MemPtrSize(recordP)) return dmErrWriteOutOfBounds;
  return errNone;
}

Err DmWrite(void* recordP, UInt32 offset, const void* srcP, UInt32 bytes) {
  return writeChunk(recordP, offset, bytes, "DmWrite warning: Cannot get database header for block",
                    [&](UInt8* dst) { std::memmove(dst, srcP, bytes); });
}

Err DmSet(void* recordP, UInt32 offset, UInt32 bytes, UInt8 value) {
  return writeChunk(recordP, offset, bytes, "DmSet warning: Cannot get database header for block",
                    [&](UInt8* dst) { std::memset(dst, value, bytes); });
}

Err DmStrCopy(void* recordP, UInt32 offset, const Char* srcP) {
  if (!srcP) return dmErrInvalidParam;
  return DmWrite(recordP, offset, srcP, static_cast<UInt32>(std::strlen(srcP) + 1));
}

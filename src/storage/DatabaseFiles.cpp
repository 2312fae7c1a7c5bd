#include "storage/DatabaseFiles.h"

#include "storage/DataMgrPrivate.h"

namespace {
Boolean saveNothing(UInt16, LocalID, UInt8) { return false; }

Boolean noFileToDelete(const Char*, UInt16, UInt16, UInt32, UInt32) { return true; }

Boolean loadedUnlessStub(UInt16, LocalID dbID) {
  const UInt8* hdr = databaseHeader(dbID);
  return hdr && !(DbHdr::attributes(hdr) & dmHdrAttrStub);
}

Boolean datesInMemory(void*) { return true; }

const DatabaseFileOps kStandIns{saveNothing, noFileToDelete, loadedUnlessStub, datesInMemory};
DatabaseFileOps current = kStandIns;
}  // namespace

void setDatabaseFileOps(const DatabaseFileOps& ops) {
  if (ops.save) current.save = ops.save;
  if (ops.deleteFile) current.deleteFile = ops.deleteFile;
  if (ops.load) current.load = ops.load;
  if (ops.refreshDates) current.refreshDates = ops.refreshDates;
}

void resetDatabaseFileOps() { current = kStandIns; }

Boolean SaveDatabaseToFile(UInt16 cardNo, LocalID dbID, UInt8 backup) { return current.save(cardNo, dbID, backup); }

Boolean DeleteDatabaseFile(const Char* name, UInt16 attributes, UInt16 version, UInt32 creator, UInt32 type) {
  return current.deleteFile(name, attributes, version, creator, type);
}

Boolean DatabaseLoaded(UInt16 cardNo, LocalID dbID) { return current.load(cardNo, dbID); }

Boolean CurrentDatabaseDates(void* header) { return current.refreshDates(header); }

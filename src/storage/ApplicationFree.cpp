// Frees that 68K code asks of the Memory Manager, kept off the chunks the
// databases hold.
#include "host/Reporting.h"
#include "palm/ErrorCodes.h"
#include "storage/DATAMGR.h"
#include "storage/DataMgrPrivate.h"
#include "storage/FeaturePrivate.h"
#include "storage/memorymgr.h"

namespace {
bool heldByDatabase(MemHandle h) {
  if (!h || !ChunkHeldByDatabase(MemHandleCardNo(h), h)) return false;
  LocalID features = featureDatabaseID();
  return !features || GetMemPtrDBID(MemHandleDataPtr(h)) != features;
}

Err refuse() {
  WarningF("memorymgr - Free refused: the chunk belongs to a database");
  return memErrInvalidParam;
}
}  // namespace

Err MemChunkFreeForApplication(void* p) {
  // Only a movable chunk can be a database's.
  if (heldByDatabase(ValidChunk(p) ? MemPtrRecoverHandle(p) : 0)) return refuse();
  return MemChunkFree(p);
}

Err MemHandleFreeForApplication(MemHandle h) {
  if (ValidMemHandle(h) && heldByDatabase(h)) return refuse();
  return MemHandleFree(h);
}

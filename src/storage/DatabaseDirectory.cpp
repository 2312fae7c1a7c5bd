// Changes to the database directory: entering a database in name order,
// taking it out, and moving it when its name changes.
#include <cstring>

#include "host/Reporting.h"
#include "palm/ErrorCodes.h"
#include "storage/DataMgrPrivate.h"
#include "storage/memorymgr.h"

namespace {
LocalID directoryID(UInt16 cardNo) {
  LocalID dirID = 0;
  MemStoreInfo(cardNo, 1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &dirID);
  return dirID;
}

// Resizes a directory block for count entries; its (possibly moved) address, or null.
UInt8* ResizeDirectoryBlock(LocalID blockID, UInt32 count) {
  if (MemHandleResize(blockID & ~1u, DirBlock::bytesFor(count))) return nullptr;
  return static_cast<UInt8*>(GetPtrWithoutLocking(blockID));
}

// Inserts id at position index of a block of n entries.
Err insertEntry(LocalID blockID, UInt16 n, UInt16 index, LocalID id) {
  UInt8* b = ResizeDirectoryBlock(blockID, n + 1u);
  if (!b) return memErrNotEnoughSpace;
  std::memmove(b + 6 + 4 * (index + 1), b + 6 + 4 * index, 4u * (n - index));
  DirBlock::setEntry(b, index, id);
  set16(b + 4, static_cast<UInt16>(n + 1));
  return errNone;
}

Err createDirectory(UInt16 cardNo, LocalID dbID) {
  MemHandle h = GetNewChunk(cardNo, 1, DirBlock::bytesFor(1), true, 0, false);
  if (!h) return memErrNotEnoughSpace;
  auto* b = static_cast<UInt8*>(MemHandleDataPtr(h));
  set16(b + 4, 1);
  DirBlock::setEntry(b, 0, dbID);
  LocalID dirID = MemHandleToLocalID(h);
  Err err = MemStoreSetInfo(cardNo, 1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &dirID);
  if (err) MemHandleFree(h);
  return err;
}

// Takes dbID out of the directory; a block that empties leaves the chain
// unless it is the first. False when dbID is not listed.
bool unlistDatabase(UInt16 cardNo, LocalID dbID) {
  LocalID prevID = 0;
  for (LocalID blockID = directoryID(cardNo); blockID;) {
    auto* b = static_cast<UInt8*>(GetPtrWithoutLocking(blockID));
    UInt16 n = DirBlock::count(b);
    for (UInt16 i = 0; i < n; ++i) {
      if (DirBlock::entry(b, i) != dbID) continue;
      std::memmove(b + 6 + 4 * i, b + 6 + 4 * (i + 1), 4u * (n - i - 1));
      set16(b + 4, static_cast<UInt16>(n - 1));
      if (n - 1 == 0 && prevID) {
        set32(GetPtrWithoutLocking(prevID), DirBlock::next(b));
        MemHandleFree(blockID & ~1u);
      } else if (!ResizeDirectoryBlock(blockID, n - 1u)) {
        WarningF("datamgr - RemoveDatabaseFromDirectory warning: directory resize failed");
      }
      return true;
    }
    prevID = blockID;
    blockID = DirBlock::next(b);
  }
  return false;
}
}  // namespace

Err AddDatabaseToDirectory(UInt16 cardNo, LocalID dbID, const Char* name) {
  LocalID blockID = directoryID(cardNo);
  if (!blockID) return createDirectory(cardNo, dbID);
  while (true) {
    auto* b = static_cast<UInt8*>(GetPtrWithoutLocking(blockID));
    if (!b) {
      WarningF("datamgr - AddDatabaseToDirectory error: directory lock failed");
      return dmErrMemError;
    }
    UInt16 n = DirBlock::count(b);
    if (n == 0) return insertEntry(blockID, 0, 0, dbID);
    const UInt8* last = databaseHeader(DirBlock::entry(b, n - 1));
    if (!last) {
      WarningF("datamgr - CompareDatabaseNames error: database header lock failed");
      return dmErrMemError;
    }
    if (std::strncmp(name, DbHdr::name(last), dmDBNameLength) < 0) {
      LocalID found;
      UInt16 index;
      SearchForDatabaseByName(b, 0, Int32(n) - 2, name, &found, &index);
      return insertEntry(blockID, n, index, dbID);
    }
    if (!DirBlock::next(b)) return insertEntry(blockID, n, n, dbID);
    blockID = DirBlock::next(b);
  }
}

Err RemoveDatabaseFromDirectory(UInt16 cardNo, LocalID dbID) {
  if (cardNo != 0) return memErrCardNotPresent;
  if (FindDatabaseInDirectory(cardNo, dbID)) return dmErrCantFind;
  const UInt8* hdr = databaseHeader(dbID);
  if (!hdr) return dmErrMemError;
  if (DbHdr::attributes(hdr) & dmHdrAttrOpen) return dmErrDatabaseOpen;
  unlistDatabase(cardNo, dbID);
  return errNone;
}

void ResortDatabaseInDirectory(UInt16 cardNo, LocalID dbID, const Char* newName) {
  if (!unlistDatabase(cardNo, dbID)) return;
  if (AddDatabaseToDirectory(cardNo, dbID, newName))
    FatalF("datamgr - database directory could not take back a renamed database");
}

// The image reader and writer.
#include "storage/quorvanefile.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "host/Reporting.h"
#include "palm/ErrorCodes.h"
#include "palm/FourCC.h"
#include "palm/PdbImageLayout.h"
#include "storage/DataMgrPrivate.h"
#include "storage/memorymgr.h"

namespace {
using PdbFormat::dmHdrAttrResetAfterInstall;
using PdbFormat::kImageAttributeMask;

// What an image holds, every offset and length checked against it.
struct ImagePlan {
  const UInt8* image = nullptr;
  PdbImageLayout layout;
  bool resDB() const { return layout.header.isResourceDatabase(); }
};

Err badData(const char* what) {
  WarningF("Error: Invalid image: %s", what);
  return exgErrBadData;
}

Err planImage(const UInt8* image, UInt32 size, ImagePlan* plan) {
  std::string error;
  if (!ParsePdbImage(image, size, plan->layout, error)) return badData(error.c_str());
  plan->image = image;
  return errNone;
}

// A storage-heap chunk holding bytes, owned by dbID; its LocalID or 0.
LocalID allocateBlock(UInt16 cardNo, const UInt8* bytes, UInt32 length, LocalID dbID, bool executable, Err* errP) {
  MemHandle h = GetNewChunk(cardNo, 1, length, true, 0, executable);
  if (!h) {
    *errP = memErrNotEnoughSpace;
    return 0;
  }
  void* p = MemHandleDataPtr(h);
  std::memcpy(p, bytes, length);
  SetMemPtrDBID(p, dbID);
  if (executable) EnableWriteProtection(p);
  return MemHandleToLocalID(h);
}

void freeBlock(LocalID id) {
  if (void* p = GetPtrWithoutLocking(id)) MemChunkFree(p);
}

// Frees what a failed read made and clears what pointed at it.
void freeContents(UInt8* hdr, UInt32 entries, bool resDB) {
  for (UInt32 field : {DbHdr::kAppInfoID, DbHdr::kSortInfoID}) {
    freeBlock(get32(hdr + field));
    set32(hdr + field, 0);
  }
  const std::size_t size = PdbFormat::entrySize(resDB);
  for (UInt32 i = 0; i < entries; ++i) {
    UInt8* e = hdr + DbHdr::kEntries + i * size;
    freeBlock(entryChunkID(e, resDB));
    set32(e + (resDB ? kResourceChunkOffset : 0), 0);
  }
}

Err fillDatabase(const ImagePlan& plan, UInt8* hdr, LocalID dbID, UInt16 cardNo) {
  const PdbImageLayout& layout = plan.layout;
  const PdbHeader& header = layout.header;
  const bool resDB = plan.resDB();
  set16(hdr + DbHdr::kVersion, header.version);
  set32(hdr + DbHdr::kCreationDate, header.creationDate);
  set32(hdr + DbHdr::kModificationDate, header.modificationDate);
  set32(hdr + DbHdr::kLastBackupDate, header.lastBackupDate);
  set32(hdr + DbHdr::kModificationNumber, header.modificationNumber);
  set32(hdr + DbHdr::kUniqueIDSeed, header.uniqueIDSeed);
  set32(hdr + DbHdr::kNextRecordListID, 0);
  set32(hdr + DbHdr::kAppInfoID, 0);
  set32(hdr + DbHdr::kSortInfoID, 0);
  UInt32 n = static_cast<UInt32>(layout.entries.size());
  set16(hdr + DbHdr::kNumRecords, static_cast<UInt16>(n));
  std::memset(hdr + DbHdr::kEntries, 0, n * layout.entrySize + PdbFormat::kPadSize);
  Err err = errNone;
  for (UInt32 i = 0; i < n && !err; ++i) {
    UInt8* e = hdr + DbHdr::kEntries + i * layout.entrySize;
    std::memcpy(e, layout.entries[i], layout.entrySize);
    set32(e + (resDB ? kResourceChunkOffset : 0), 0);
    // Busy is a state of a running system, never of a stored record.
    if (!resDB) RecEntry::setAttributes(e, RecEntry::attributes(e) & ~dmRecAttrBusy);
    const PdbBlock& b = layout.data[i];
    if (!b.length) continue;
    bool executable = resDB && IsArmCodeChunk(get32(e));
    LocalID id = allocateBlock(cardNo, plan.image + b.offset, b.length, dbID, executable, &err);
    set32(e + (resDB ? kResourceChunkOffset : 0), id);
  }
  for (auto [field, block] :
       {std::pair{DbHdr::kAppInfoID, layout.appInfo}, std::pair{DbHdr::kSortInfoID, layout.sortInfo}})
    if (!err && block.length)
      set32(hdr + field, allocateBlock(cardNo, plan.image + block.offset, block.length, dbID, false, &err));
  if (err) freeContents(hdr, n, resDB);
  return err;
}

Err loadIntoStub(const ImagePlan& plan, LocalID stubID, UInt16 cardNo) {
  UInt8* hdr = databaseHeader(stubID);
  if (!hdr) return memErrInvalidParam;
  // The entries' layout follows the kind the stub was registered with.
  if (DbHdr::isResourceDB(hdr) != plan.resDB()) return badData("record and resource database mixed up");
  UInt32 n = static_cast<UInt32>(plan.layout.entries.size());
  if (Err err = MemHandleResize(stubID & ~1u, static_cast<UInt32>(DbHdr::kSize + n * plan.layout.entrySize))) {
    WarningF("DataMgr - CreateOrLoadDatabaseFromStream: Failed to resize database header");
    return err;
  }
  hdr = databaseHeader(stubID);
  Err err = fillDatabase(plan, hdr, stubID, cardNo);
  if (err) {
    set16(hdr + DbHdr::kNumRecords, 0);
    MemHandleResize(stubID & ~1u, DbHdr::kSize);
    return err;
  }
  DbHdr::setAttributes(hdr, DbHdr::attributes(hdr) & ~dmHdrAttrStub);
  return errNone;
}

Err createFromPlan(const ImagePlan& plan, DmDeleteProc deleteProc, void* userDataP, LocalID* dbIDP, UInt16 cardNo,
                   UInt8* needResetP) {
  const PdbHeader& header = plan.layout.header;
  const Char* name = header.name.c_str();
  if (LocalID existing = DmFindDatabase(cardNo, name)) {
    UInt16 version = 0;
    DmDatabaseInfo(cardNo, existing, nullptr, nullptr, &version, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                   nullptr, nullptr);
    if (!deleteProc || !deleteProc(name, version, cardNo, existing, userDataP)) {
      if (dbIDP) *dbIDP = existing;
      return dmErrAlreadyExists;
    }
  }
  UInt32 n = static_cast<UInt32>(plan.layout.entries.size());
  UInt8* hdr = nullptr;
  LocalID dbID = 0;
  if (Err err = CreateDatabase(cardNo, name, header.creator, header.type, plan.resDB(), static_cast<UInt16>(n), &hdr,
                               &dbID))
    return err;
  // A database that exists only in memory has changes no file holds yet.
  DbHdr::setAttributes(hdr, (header.attributes & kImageAttributeMask) | dmHdrAttrDirty);
  if (Err err = fillDatabase(plan, hdr, dbID, cardNo)) {
    MemPtrUnlock(hdr);
    RemoveDatabaseFromDirectory(cardNo, dbID);
    MemChunkFree(hdr);
    if (dbIDP) *dbIDP = 0;
    if (needResetP) *needResetP = 0;
    return err;
  }
  MemPtrUnlock(hdr);
  if (dbIDP) *dbIDP = dbID;
  if (needResetP) *needResetP = (header.attributes & dmHdrAttrResetAfterInstall) ? 1 : 0;
  return errNone;
}

// The writer hands each buffer to the procedure in pieces of at most 65535 bytes.
Err emit(DmWriteProc writeProc, void* userDataP, const void* data, UInt32 length) {
  UInt32 done = 0;
  Err err = errNone;
  while (!err && done < length) {
    UInt32 count = std::min<UInt32>(length - done, 65535);
    err = writeProc(static_cast<const UInt8*>(data) + done, &count, userDataP);
    if (count == 0) break;
    done += count;
  }
  if (done != length) return exgErrDisconnected;
  return err;
}

UInt32 chunkLength(LocalID id, bool* missingP) {
  if (!id) return 0;
  void* p = GetPtrWithoutLocking(id);
  if (!p || !ValidChunk(p)) *missingP = true;
  return p ? MemPtrSize(p) : 0;
}
}  // namespace

Boolean IsArmCodeChunk(UInt32 type) {
  static const char* const kTypes[] = {"ARMC", "armc", "ARML", "arml", "ARMc", "ARMA", "ZLIB", "GLM.", "KNMA",
                                       "kMP4", "kAAC", "JPEG", "MP4A", "MP4V", "MP3A", "WMA9", "WMV9", "BLIT",
                                       "DPNO", "DTGB", "DTGR", "DVZP", "HRCS", "PLEN", "ROTV", "SSTG", "TURK"};
  for (const char* t : kTypes)
    if (type == fourCC(reinterpret_cast<const char(&)[5]>(*t))) return true;
  return false;
}

Boolean ImageIsWhole(const UInt8* image, UInt32 size) {
  ImagePlan plan;
  return planImage(image, size, &plan) == errNone;
}

Err CreateOrLoadDatabaseFromImage(LocalID existingID, const UInt8* image, UInt32 size, DmDeleteProc deleteProc,
                                  void* userDataP, LocalID* dbIDP, UInt16 cardNo, UInt8* needResetP) {
  ImagePlan plan;
  if (Err err = planImage(image, size, &plan)) return err;
  if (existingID) return loadIntoStub(plan, existingID, cardNo);
  return createFromPlan(plan, deleteProc, userDataP, dbIDP, cardNo, needResetP);
}

Err CreateOrLoadDatabaseFromStream(LocalID existingID, DmReadProc readProc, DmDeleteProc deleteProc, void* userDataP,
                                   LocalID* dbIDP, UInt16 cardNo, UInt8* needResetP, UInt8) {
  std::vector<UInt8> image;
  constexpr UInt32 kPiece = 4096;
  while (true) {
    size_t have = image.size();
    if (have >= kMaxImageSize) return badData("image too large");
    image.resize(have + kPiece);
    UInt32 count = kPiece;
    Err err = readProc(image.data() + have, &count, userDataP);
    if (count > kPiece) count = kPiece;
    image.resize(have + count);
    if (err) return err;
    if (count < kPiece) break;
  }
  return CreateOrLoadDatabaseFromImage(existingID, image.data(), static_cast<UInt32>(image.size()), deleteProc,
                                       userDataP, dbIDP, cardNo, needResetP);
}

Err WriteDatabaseToStream(DmWriteProc writeProc, void* userDataP, LocalID dbID, UInt16 cardNo) {
  UInt32 n = 0;
  if (Err err = DmDatabaseSize(cardNo, dbID, &n, nullptr, nullptr)) return err;
  UInt8* hdr = databaseHeader(dbID);
  if (!hdr) return memErrInvalidParam;
  bool resDB = DbHdr::isResourceDB(hdr);
  UInt32 entrySize = DbHdr::entrySize(hdr);
  bool missing = false;
  UInt8 head[PdbFormat::kHeaderSize] = {};
  std::memcpy(head, hdr, PdbFormat::kHeaderSize);
  DbHdr::setAttributes(head, DbHdr::attributes(hdr) & kImageAttributeMask);
  PdbBlockPlacer placer(n, resDB);
  LocalID appInfo = get32(hdr + DbHdr::kAppInfoID);
  LocalID sortInfo = get32(hdr + DbHdr::kSortInfoID);
  for (auto [field, id] : {std::pair{DbHdr::kAppInfoID, appInfo}, std::pair{DbHdr::kSortInfoID, sortInfo}})
    set32(head + field, placer.place(chunkLength(id, &missing), id != 0));
  set32(head + DbHdr::kNextRecordListID, 0);
  set16(head + DbHdr::kNumRecords, static_cast<UInt16>(n));

  std::vector<UInt8> entries;
  std::vector<LocalID> chunks;
  forEachEntry(hdr, [&](UInt8* e) {
    UInt8 out[PdbFormat::kResourceEntrySize];
    std::memcpy(out, e, entrySize);
    LocalID id = entryChunkID(e, resDB);
    set32(out + (resDB ? kResourceChunkOffset : 0), placer.place(chunkLength(id, &missing)));
    if (!resDB) out[4] &= ~dmRecAttrBusy;
    entries.insert(entries.end(), out, out + entrySize);
    chunks.push_back(id);
  });
  if (missing) return exgMemError;

  static const UInt8 kPad[PdbFormat::kPadSize] = {};
  Err err = emit(writeProc, userDataP, head, sizeof head);
  if (!err) err = emit(writeProc, userDataP, entries.data(), static_cast<UInt32>(entries.size()));
  if (!err) err = emit(writeProc, userDataP, kPad, sizeof kPad);
  std::vector<LocalID> blocks{appInfo, sortInfo};
  blocks.insert(blocks.end(), chunks.begin(), chunks.end());
  for (LocalID id : blocks) {
    if (err) break;
    if (void* p = GetPtrWithoutLocking(id)) err = emit(writeProc, userDataP, p, MemPtrSize(p));
  }
  return err;
}

Err DmCreateDatabaseFromImage(void* bufferP) {
  if (!ValidChunk(bufferP)) return memErrInvalidParam;
  LocalID dbID = 0;
  Err err = CreateOrLoadDatabaseFromImage(0, static_cast<const UInt8*>(bufferP), MemPtrSize(bufferP), nullptr, nullptr,
                                          &dbID, 0, nullptr);
  if (!err) SaveDatabaseNow(0, dbID);
  return err;
}

Err ExgDBReadExtended(DmReadProc readProc, DmDeleteProc deleteProc, void* userDataP, LocalID* dbIDP, UInt16 cardNo,
                      Boolean* needResetP, Boolean keepDates) {
  LocalID dbID = 0;
  UInt8 needReset = 0;
  Err err = CreateOrLoadDatabaseFromStream(0, readProc, deleteProc, userDataP, &dbID, cardNo, &needReset, keepDates);
  if (!err) SaveDatabaseNow(cardNo, dbID);
  if (dbIDP) *dbIDP = err ? 0 : dbID;
  if (needResetP) *needResetP = needReset;
  return err;
}

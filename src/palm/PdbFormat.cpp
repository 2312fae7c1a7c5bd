#include "palm/PdbFormat.h"
#include <algorithm>
#include <cstring>
#include "palm/Endian.h"

using namespace PdbFormat;

namespace {

std::size_t entrySize(const PdbDatabase& db) {
  return db.isResourceDatabase() ? kResourceEntrySize : kRecordEntrySize;
}

std::size_t entryCount(const PdbDatabase& db) {
  return db.isResourceDatabase() ? db.resources.size() : db.records.size();
}

const std::vector<UInt8>& entryData(const PdbDatabase& db, std::size_t i) {
  return db.isResourceDatabase() ? db.resources[i].data : db.records[i].data;
}

void writeHeader(const PdbDatabase& db, UInt8* h, UInt32 appInfoOffset, UInt32 sortInfoOffset) {
  std::copy(db.name.begin(), db.name.end(), h + kName);
  set16(h + kAttributes, db.attributes & kImageAttributeMask);
  set16(h + kVersion, db.version);
  set32(h + kCreationDate, db.creationDate);
  set32(h + kModificationDate, db.modificationDate);
  set32(h + kLastBackupDate, db.lastBackupDate);
  set32(h + kModificationNumber, db.modificationNumber);
  set32(h + kAppInfoID, appInfoOffset);
  set32(h + kSortInfoID, sortInfoOffset);
  set32(h + kType, db.type);
  set32(h + kCreator, db.creator);
  set32(h + kUniqueIDSeed, db.uniqueIDSeed);
  set32(h + kNextRecordListID, 0);
  set16(h + kNumRecords, static_cast<UInt16>(entryCount(db)));
}

void writeEntry(const PdbDatabase& db, std::size_t i, UInt8* e, UInt32 offset) {
  if (db.isResourceDatabase()) {
    set32(e, db.resources[i].type);
    set16(e + 4, db.resources[i].id);
    set32(e + 6, offset);
  } else {
    set32(e, offset);
    e[4] = db.records[i].attributes;
    e[5] = static_cast<UInt8>(db.records[i].uniqueID >> 16);
    set16(e + 6, static_cast<UInt16>(db.records[i].uniqueID));
  }
}

}  // namespace

bool WritePdbImage(const PdbDatabase& db, std::vector<UInt8>& image, std::string& error) {
  if (db.name.size() >= kNameSize || db.name.find('\0') != std::string::npos) {
    error = "database name \"" + db.name + "\" must be 1-31 characters without NUL";
    return false;
  }
  if (db.name.empty()) {
    error = "database name is empty";
    return false;
  }
  const std::size_t n = entryCount(db);
  if (n > 0xFFFF) {
    error = "more than 65535 entries";
    return false;
  }
  for (const PdbRecord& r : db.records) {
    if (!db.isResourceDatabase() && r.uniqueID > 0xFFFFFF) {
      error = "record uniqueID above 24 bits";
      return false;
    }
  }
  std::size_t offset = kHeaderSize + n * entrySize(db) + kPadSize;
  const UInt32 appInfoOffset = db.appInfo.empty() ? 0 : static_cast<UInt32>(offset);
  offset += db.appInfo.size();
  const UInt32 sortInfoOffset = db.sortInfo.empty() ? 0 : static_cast<UInt32>(offset);
  offset += db.sortInfo.size();

  image.assign(kHeaderSize + n * entrySize(db) + kPadSize, 0);
  writeHeader(db, image.data(), appInfoOffset, sortInfoOffset);
  for (std::size_t i = 0; i < n; ++i) {
    writeEntry(db, i, image.data() + kHeaderSize + i * entrySize(db), static_cast<UInt32>(offset));
    offset += entryData(db, i).size();
  }
  if (offset > 0xFFFFFFFFu) {
    error = "image larger than 4 GiB";
    return false;
  }
  image.insert(image.end(), db.appInfo.begin(), db.appInfo.end());
  image.insert(image.end(), db.sortInfo.begin(), db.sortInfo.end());
  for (std::size_t i = 0; i < n; ++i) image.insert(image.end(), entryData(db, i).begin(), entryData(db, i).end());
  return true;
}

namespace {

// Blocks lie in image order (app info, sort info, then each entry's data); a
// block runs from its offset to the next non-zero offset in that order, the
// last one to the end of the image.
struct BlockLayout {
  std::vector<std::size_t> starts;  // in image order, zero offsets left out
  std::size_t imageSize = 0;

  std::size_t endOf(std::size_t k) const { return k + 1 < starts.size() ? starts[k + 1] : imageSize; }
};

}  // namespace

bool ReadPdbImage(const std::vector<UInt8>& image, PdbDatabase& db, std::string& error) {
  if (image.size() < kHeaderSize) {
    error = "image shorter than its 78-byte header";
    return false;
  }
  const UInt8* h = image.data();
  db = PdbDatabase{};
  db.name.assign(reinterpret_cast<const char*>(h), strnlen(reinterpret_cast<const char*>(h), kNameSize));
  db.attributes = get16(h + kAttributes);
  db.version = get16(h + kVersion);
  db.creationDate = get32(h + kCreationDate);
  db.modificationDate = get32(h + kModificationDate);
  db.lastBackupDate = get32(h + kLastBackupDate);
  db.modificationNumber = get32(h + kModificationNumber);
  db.type = get32(h + kType);
  db.creator = get32(h + kCreator);
  db.uniqueIDSeed = get32(h + kUniqueIDSeed);
  if (get32(h + kNextRecordListID) != 0) {
    error = "further record lists are not supported here";
    return false;
  }
  const std::size_t n = get16(h + kNumRecords);
  const std::size_t size = entrySize(db);
  if (kHeaderSize + n * size > image.size()) {
    error = "entry list runs past the end of the image";
    return false;
  }
  const std::size_t entriesEnd = kHeaderSize + n * size;
  auto entryOffset = [&](std::size_t i) {
    const UInt8* e = h + kHeaderSize + i * size;
    return static_cast<std::size_t>(db.isResourceDatabase() ? get32(e + 6) : get32(e));
  };
  std::vector<std::size_t> offsets{get32(h + kAppInfoID), get32(h + kSortInfoID)};
  for (std::size_t i = 0; i < n; ++i) offsets.push_back(entryOffset(i));

  BlockLayout layout;
  layout.imageSize = image.size();
  for (std::size_t start : offsets) {
    if (start == 0) continue;
    if (start < entriesEnd || start > image.size() || (!layout.starts.empty() && start < layout.starts.back())) {
      error = "block offset " + std::to_string(start) + " outside the data area or out of order";
      return false;
    }
    layout.starts.push_back(start);
  }
  std::vector<std::vector<UInt8>> blocks(offsets.size());
  for (std::size_t i = 0, k = 0; i < offsets.size(); ++i) {
    if (offsets[i] == 0) continue;
    blocks[i].assign(image.begin() + static_cast<std::ptrdiff_t>(layout.starts[k]),
                     image.begin() + static_cast<std::ptrdiff_t>(layout.endOf(k)));
    ++k;
  }
  db.appInfo = std::move(blocks[0]);
  db.sortInfo = std::move(blocks[1]);
  for (std::size_t i = 0; i < n; ++i) {
    const UInt8* e = h + kHeaderSize + i * size;
    if (db.isResourceDatabase()) {
      db.resources.push_back({get32(e), get16(e + 4), std::move(blocks[i + 2])});
    } else {
      db.records.push_back({e[4], (UInt32(e[5]) << 16) | get16(e + 6), std::move(blocks[i + 2])});
    }
  }
  return true;
}

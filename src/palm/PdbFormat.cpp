#include "palm/PdbFormat.h"

#include <algorithm>

#include "palm/Endian.h"
#include "palm/PdbImageLayout.h"

using namespace PdbFormat;

namespace {

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
  } else {
    e[4] = db.records[i].attributes;
    e[5] = static_cast<UInt8>(db.records[i].uniqueID >> 16);
    set16(e + 6, static_cast<UInt16>(db.records[i].uniqueID));
  }
  set32(e + entryDataOffset(db.isResourceDatabase()), offset);
}

std::vector<UInt8> blockBytes(const UInt8* image, PdbBlock block) {
  return std::vector<UInt8>(image + block.offset, image + block.offset + block.length);
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
  const std::size_t size = entrySize(db.isResourceDatabase());
  PdbBlockPlacer placer(n, db.isResourceDatabase());
  const UInt32 appInfoOffset = placer.place(db.appInfo.size(), !db.appInfo.empty());
  const UInt32 sortInfoOffset = placer.place(db.sortInfo.size(), !db.sortInfo.empty());

  image.assign(kHeaderSize + n * size + kPadSize, 0);
  writeHeader(db, image.data(), appInfoOffset, sortInfoOffset);
  for (std::size_t i = 0; i < n; ++i)
    writeEntry(db, i, image.data() + kHeaderSize + i * size, placer.place(entryData(db, i).size()));
  if (!placer.fits()) {
    error = "image larger than 4 GiB";
    return false;
  }
  image.insert(image.end(), db.appInfo.begin(), db.appInfo.end());
  image.insert(image.end(), db.sortInfo.begin(), db.sortInfo.end());
  for (std::size_t i = 0; i < n; ++i) image.insert(image.end(), entryData(db, i).begin(), entryData(db, i).end());
  return true;
}

bool ReadPdbImage(const std::vector<UInt8>& image, PdbDatabase& db, std::string& error) {
  PdbImageLayout layout;
  if (!ParsePdbImage(image.data(), image.size(), layout, error)) return false;
  db = PdbDatabase{};
  static_cast<PdbHeader&>(db) = layout.header;
  db.appInfo = blockBytes(image.data(), layout.appInfo);
  db.sortInfo = blockBytes(image.data(), layout.sortInfo);
  for (std::size_t i = 0; i < layout.entries.size(); ++i) {
    const UInt8* e = layout.entries[i];
    std::vector<UInt8> data = blockBytes(image.data(), layout.data[i]);
    if (db.isResourceDatabase())
      db.resources.push_back({get32(e), get16(e + 4), std::move(data)});
    else
      db.records.push_back({e[4], (UInt32(e[5]) << 16) | get16(e + 6), std::move(data)});
  }
  return true;
}

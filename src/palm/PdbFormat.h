// The PDB/PRC byte layout of a Palm database outside memory: header field
// offsets, entry sizes and attribute bits, plus a writer and a checked reader
// for a database held as a plain in-memory list of resources or records.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "palm/PalmTypes.h"

namespace PdbFormat {
constexpr std::size_t kHeaderSize = 78;
constexpr std::size_t kNameSize = 32;
constexpr std::size_t kPadSize = 2;  // the zero bytes after the last entry
constexpr std::size_t kRecordEntrySize = 8;
constexpr std::size_t kResourceEntrySize = 10;

// Header field offsets.
constexpr std::size_t kName = 0;
constexpr std::size_t kAttributes = 32;
constexpr std::size_t kVersion = 34;
constexpr std::size_t kCreationDate = 36;
constexpr std::size_t kModificationDate = 40;
constexpr std::size_t kLastBackupDate = 44;
constexpr std::size_t kModificationNumber = 48;
constexpr std::size_t kAppInfoID = 52;
constexpr std::size_t kSortInfoID = 56;
constexpr std::size_t kType = 60;
constexpr std::size_t kCreator = 64;
constexpr std::size_t kUniqueIDSeed = 68;
constexpr std::size_t kNextRecordListID = 72;
constexpr std::size_t kNumRecords = 76;

// Entries: a record's is data offset (4), attributes (1), unique ID (3); a
// resource's is type (4), ID (2), data offset (4).
constexpr std::size_t kResourceDataOffset = 6;
inline std::size_t entryDataOffset(bool resourceDB) { return resourceDB ? kResourceDataOffset : 0; }
inline std::size_t entrySize(bool resourceDB) { return resourceDB ? kResourceEntrySize : kRecordEntrySize; }

// Header attribute bits.
constexpr UInt16 dmHdrAttrResDB = 0x0001;
constexpr UInt16 dmHdrAttrResetAfterInstall = 0x0020;
constexpr UInt16 dmHdrAttrStub = 0x1000;
constexpr UInt16 dmHdrAttrDirty = 0x2000;
constexpr UInt16 dmHdrAttrOpen = 0x8000;
// What an image may carry: the open, dirty and stub bits never leave memory.
constexpr UInt16 kImageAttributeMask = 0x4FFF;
}  // namespace PdbFormat

// The fields of an image's header that describe the database itself.
struct PdbHeader {
  std::string name;
  UInt16 attributes = 0;
  UInt16 version = 0;
  UInt32 creationDate = 0;
  UInt32 modificationDate = 0;
  UInt32 lastBackupDate = 0;
  UInt32 modificationNumber = 0;
  UInt32 type = 0;
  UInt32 creator = 0;
  UInt32 uniqueIDSeed = 0;

  bool isResourceDatabase() const { return (attributes & PdbFormat::dmHdrAttrResDB) != 0; }
};

struct PdbResource {
  UInt32 type = 0;
  UInt16 id = 0;
  std::vector<UInt8> data;
};

struct PdbRecord {
  UInt8 attributes = 0;
  UInt32 uniqueID = 0;  // 24 bits
  std::vector<UInt8> data;
};

// A whole database; a resource database (dmHdrAttrResDB) uses `resources`,
// any other `records`.
struct PdbDatabase : PdbHeader {
  std::vector<UInt8> appInfo;
  std::vector<UInt8> sortInfo;
  std::vector<PdbResource> resources;
  std::vector<PdbRecord> records;
};

// Lays the database out as an image. Fails (with a reason) on a name that does
// not fit, more than 65535 entries, or a uniqueID above 24 bits.
bool WritePdbImage(const PdbDatabase& db, std::vector<UInt8>& image, std::string& error);

// Reads an image (see ParsePdbImage for what is accepted). A bad image is a
// failure with a reason, never a read outside the buffer.
bool ReadPdbImage(const std::vector<UInt8>& image, PdbDatabase& db, std::string& error);

#include "palm/PdbImageLayout.h"

#include <cstdint>
#include <cstring>

#include "palm/Endian.h"

using namespace PdbFormat;

namespace {

constexpr std::size_t kMaxEntries = 0xFFFF;
// A further record list: next list offset (4), count (2), entries.
constexpr std::size_t kListHeaderSize = 6;

bool fail(std::string& error, const char* what) {
  error = what;
  return false;
}

void readHeader(const UInt8* h, PdbHeader& header) {
  header.name = reinterpret_cast<const char*>(h + kName);
  header.attributes = get16(h + kAttributes);
  header.version = get16(h + kVersion);
  header.creationDate = get32(h + kCreationDate);
  header.modificationDate = get32(h + kModificationDate);
  header.lastBackupDate = get32(h + kLastBackupDate);
  header.modificationNumber = get32(h + kModificationNumber);
  header.type = get32(h + kType);
  header.creator = get32(h + kCreator);
  header.uniqueIDSeed = get32(h + kUniqueIDSeed);
}

// Collects the entries of every record list; *endOfListsP is where the last list ends.
bool collectEntries(const UInt8* image, std::size_t size, PdbImageLayout& layout, std::size_t* endOfListsP,
                    std::string& error) {
  std::size_t count = get16(image + kNumRecords);
  std::size_t listStart = kHeaderSize;
  std::size_t next = get32(image + kNextRecordListID);
  while (true) {
    const std::size_t end = listStart + count * layout.entrySize;
    if (end > size) return fail(error, "entry list runs past the end");
    if (layout.entries.size() + count > kMaxEntries) return fail(error, "too many entries");
    for (std::size_t i = 0; i < count; ++i) layout.entries.push_back(image + listStart + i * layout.entrySize);
    *endOfListsP = end;
    if (!next) return true;
    // A further list must lie behind the one before, which also rules out loops.
    if (next < end || next + kListHeaderSize > size) return fail(error, "record list offset");
    count = get16(image + next + 4);
    listStart = next + kListHeaderSize;
    next = get32(image + next);
  }
}

// Gives each present block the length up to the next present block, the last
// one up to the end of the image.
bool measureBlocks(std::size_t size, std::size_t endOfLists, PdbImageLayout& layout, std::string& error) {
  std::vector<PdbBlock*> order;
  for (PdbBlock* b : {&layout.appInfo, &layout.sortInfo})
    if (b->offset) order.push_back(b);
  for (PdbBlock& b : layout.data)
    if (b.offset) order.push_back(&b);
  std::size_t position = endOfLists;
  for (std::size_t i = 0; i < order.size(); ++i) {
    PdbBlock* b = order[i];
    if (b->offset < position || b->offset > size) return fail(error, "block offset out of order or past the end");
    const std::size_t end = i + 1 < order.size() ? order[i + 1]->offset : size;
    if (end < b->offset) return fail(error, "block offset out of order");
    b->length = static_cast<UInt32>(end - b->offset);
    position = b->offset;
  }
  return true;
}

}  // namespace

bool ParsePdbImage(const UInt8* image, std::size_t size, PdbImageLayout& layout, std::string& error) {
  layout = PdbImageLayout{};
  if (size < kHeaderSize) return fail(error, "shorter than its header");
  // Offsets are 32 bits: a block beyond them could not be addressed.
  if (size > 0xFFFFFFFFu) return fail(error, "larger than 4 GiB");
  const void* nul = std::memchr(image + kName, 0, kNameSize);
  if (!nul || nul == image + kName) return fail(error, "database name");
  readHeader(image, layout.header);
  const bool resourceDB = layout.header.isResourceDatabase();
  layout.entrySize = PdbFormat::entrySize(resourceDB);
  std::size_t endOfLists = 0;
  if (!collectEntries(image, size, layout, &endOfLists, error)) return false;
  layout.appInfo.offset = get32(image + kAppInfoID);
  layout.sortInfo.offset = get32(image + kSortInfoID);
  // An app info offset inside the header and entries is no app info.
  if (layout.appInfo.offset && layout.appInfo.offset < endOfLists) layout.appInfo.offset = 0;
  for (const UInt8* e : layout.entries) layout.data.push_back({get32(e + entryDataOffset(resourceDB)), 0});
  return measureBlocks(size, endOfLists, layout, error);
}

// Where things lie in a database image: the one parser of the layout, which
// checks every offset and length against the image in place, and the rule by
// which writers place the blocks.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "palm/PalmTypes.h"
#include "palm/PdbFormat.h"

// A stretch of the image; length 0 is no data.
struct PdbBlock {
  UInt32 offset = 0;
  UInt32 length = 0;
};

struct PdbImageLayout {
  PdbHeader header;
  std::size_t entrySize = 0;
  std::vector<const UInt8*> entries;  // into the image, in index order over every record list
  PdbBlock appInfo, sortInfo;
  std::vector<PdbBlock> data;  // one per entry
};

// Parses an image in place. It accepts what real files do: bytes after the
// name's NUL, no pad after the entries, a zero-length block at the very end,
// entries in any order of type and ID, an app info offset that points into the
// entries (taken as no app info), further record lists. It refuses a name
// without NUL or an empty one, lists or blocks reaching past the end, blocks
// inside the entries or out of order, more than 65535 entries.
bool ParsePdbImage(const UInt8* image, std::size_t size, PdbImageLayout& layout, std::string& error);

// Places the blocks of an image being written, in image order (app info, sort
// info, then each entry's data) from the end of the entry list and pad on.
class PdbBlockPlacer {
 public:
  PdbBlockPlacer(std::size_t entries, bool resourceDB)
      : next_(PdbFormat::kHeaderSize + entries * PdbFormat::entrySize(resourceDB) + PdbFormat::kPadSize) {}
  // The offset of the next block; an absent one gets 0 and takes no room.
  UInt32 place(std::size_t length, bool present = true) {
    if (!present) return 0;
    const std::size_t at = next_;
    next_ += length;
    return static_cast<UInt32>(at);
  }
  // False once the blocks placed so far reach past what 32-bit offsets hold.
  bool fits() const { return next_ <= 0xFFFFFFFFu; }

 private:
  std::size_t next_;
};

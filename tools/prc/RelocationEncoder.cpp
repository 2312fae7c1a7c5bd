#include "prc/RelocationEncoder.h"
#include <algorithm>
#include "palm/Endian.h"

namespace {

constexpr std::int64_t kLongRange = std::int64_t(1) << 30;  // offsets are 30-bit values times 2

void appendEntry(RelocationList& list, std::int64_t previous, std::int64_t offset) {
  const std::int64_t half = (offset - previous) / 2;
  if (half >= -64 && half <= 63) {
    list.bytes.push_back(static_cast<UInt8>(0x80 | (half & 0x7F)));
    list.entrySizes.push_back(1);
  } else if (half >= -8192 && half <= 8191) {
    const UInt16 word = static_cast<UInt16>(0x4000 | (half & 0x3FFF));
    list.bytes.push_back(static_cast<UInt8>(word >> 8));
    list.bytes.push_back(static_cast<UInt8>(word));
    list.entrySizes.push_back(2);
  } else {
    UInt8 value[4];
    set32(value, static_cast<UInt32>((offset / 2) & 0x3FFFFFFF));
    list.bytes.insert(list.bytes.end(), value, value + 4);
    list.entrySizes.push_back(4);
  }
}

}  // namespace

bool EncodeRelocationList(std::vector<Int32> offsetsFromA5, RelocationList& list, std::string& error) {
  std::sort(offsetsFromA5.begin(), offsetsFromA5.end());
  list = RelocationList{};
  list.bytes.resize(4);
  set32(list.bytes.data(), static_cast<UInt32>(offsetsFromA5.size()));
  std::int64_t previous = 0;
  for (Int32 offset : offsetsFromA5) {
    if (offset % 2 != 0) {
      error = "relocation at odd offset " + std::to_string(offset) + " from A5";
      return false;
    }
    if (offset / 2 < -kLongRange / 2 || offset / 2 >= kLongRange / 2) {
      error = "relocation offset " + std::to_string(offset) + " out of range";
      return false;
    }
    appendEntry(list, previous, offset);
    previous = offset;
  }
  return true;
}

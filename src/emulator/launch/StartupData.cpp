#include "emulator/launch/StartupData.h"
#include <algorithm>
#include <cstdint>
#include "palm/Endian.h"

bool ReadCode0Sizes(std::span<const UInt8> code0, Code0Sizes& sizes) {
  if (code0.size() < kCode0UsedSize) return false;
  sizes.above = get32(&code0[0]);
  sizes.below = get32(&code0[4]);
  sizes.jumpTableSize = get32(&code0[8]);
  sizes.jumpTableOffset = get32(&code0[12]);
  return true;
}

namespace {

using namespace StartupDataTag;

class Unpacker {
 public:
  Unpacker(std::span<const UInt8> data, const GlobalsWorld& world) : data_(data), world_(world) {}

  StartupDataResult run() {
    cursor_ = 4;  // the first long is not used
    for (int block = 0; block < 3; ++block)
      if (!uncompress()) return result_;
    if (cursor_ == data_.size()) return result_;
    if (!relocate(world_.a5Address)) return result_;
    relocate(world_.codeAddress);
    return result_;
  }

 private:
  bool fail(const char* reason) {
    result_ = {false, reason, cursor_};
    return false;
  }

  bool readable(std::size_t n) const { return cursor_ <= data_.size() && data_.size() - cursor_ >= n; }

  // A position inside the globals block given as an offset from A5.
  bool globalsRange(std::int64_t fromA5, std::size_t length, std::size_t& index) const {
    const std::int64_t at = static_cast<std::int64_t>(world_.a5Offset) + fromA5;
    if (at < 0 || static_cast<std::uint64_t>(at) + length > world_.globals.size()) return false;
    index = static_cast<std::size_t>(at);
    return true;
  }

  bool uncompress() {
    if (!readable(4)) return fail("block offset past the end of the resource");
    std::int64_t dest = static_cast<Int32>(get32(&data_[cursor_]));
    cursor_ += 4;
    for (;;) {
      if (!readable(1)) return fail("block runs past the end of the resource");
      const UInt8 tag = data_[cursor_];
      if (tag == kEnd) {
        ++cursor_;
        return true;
      }
      UInt8 run[128];
      std::size_t length = 0, operands = 0;
      if (!decodeRun(tag, run, length, operands)) return false;
      std::size_t index = 0;
      if (!globalsRange(dest, length, index)) return fail("run writes outside the globals block");
      std::copy_n(run, length, world_.globals.begin() + static_cast<std::ptrdiff_t>(index));
      cursor_ += 1 + operands;
      dest += static_cast<std::int64_t>(length);
    }
  }

  // Expands the run at the cursor into `run`; the cursor stays on the tag.
  bool decodeRun(UInt8 tag, UInt8* run, std::size_t& length, std::size_t& operands) {
    auto operandsReadable = [&](std::size_t n) {
      operands = n;
      return readable(1 + n) || fail("run operands past the end of the resource");
    };
    const UInt8* op = &data_[cursor_ + 1];
    if (tag & kLiteral) {
      length = (tag & 0x7F) + 1u;
      if (!operandsReadable(length)) return false;
      std::copy_n(op, length, run);
    } else if (tag & kZeros) {
      length = (tag & 0x3F) + 1u;
      std::fill_n(run, length, 0);
    } else if (tag & kRepeat) {
      length = (tag & 0x1F) + 2u;
      if (!operandsReadable(1)) return false;
      std::fill_n(run, length, op[0]);
    } else if (tag & kOnes) {
      length = (tag & 0x0F) + 1u;
      std::fill_n(run, length, 0xFF);
    } else {
      return decodePattern(tag, run, length, operandsReadable);
    }
    return true;
  }

  template <typename Check>
  bool decodePattern(UInt8 tag, UInt8* run, std::size_t& length, Check operandsReadable) {
    length = 8;
    const UInt8* op = &data_[cursor_ + 1];
    auto emit = [&](std::initializer_list<UInt8> bytes) { std::copy(bytes.begin(), bytes.end(), run); };
    switch (tag) {
      case kPatternFFFF:
        if (!operandsReadable(2)) return false;
        emit({0, 0, 0, 0, 0xFF, 0xFF, op[0], op[1]});
        return true;
      case kPatternFF:
        if (!operandsReadable(3)) return false;
        emit({0, 0, 0, 0, 0xFF, op[0], op[1], op[2]});
        return true;
      case kPatternA9F0:
        if (!operandsReadable(3)) return false;
        emit({0xA9, 0xF0, 0, 0, op[0], op[1], 0, op[2]});
        return true;
      case kPatternA9F0Long:
        if (!operandsReadable(4)) return false;
        emit({0xA9, 0xF0, 0, op[0], op[1], op[2], 0, op[3]});
        return true;
      default:
        return fail("unknown run tag");
    }
  }

  bool relocate(UInt32 base) {
    if (!readable(4)) return fail("relocation count past the end of the resource");
    UInt32 count = get32(&data_[cursor_]);
    cursor_ += 4;
    std::int64_t offset = 0;
    for (; count > 0; --count) {
      if (!nextRelocationOffset(offset)) return false;
      std::size_t index = 0;
      if (!globalsRange(offset, 4, index)) return fail("relocation target outside the globals block");
      UInt8* p = &world_.globals[index];
      set32(p, get32(p) + base);
    }
    return true;
  }

  bool nextRelocationOffset(std::int64_t& offset) {
    if (!readable(1)) return fail("relocation entry past the end of the resource");
    const UInt8 first = data_[cursor_];
    if (first & 0x80) {
      offset += static_cast<std::int64_t>(signExtend(first & 0x7Fu, 7)) * 2;
      cursor_ += 1;
    } else if (first & 0x40) {
      if (!readable(2)) return fail("relocation entry past the end of the resource");
      offset += static_cast<std::int64_t>(signExtend(get16(&data_[cursor_]) & 0x3FFFu, 14)) * 2;
      cursor_ += 2;
    } else {
      if (!readable(4)) return fail("relocation entry past the end of the resource");
      offset = static_cast<std::int64_t>(signExtend(get32(&data_[cursor_]) & 0x3FFFFFFFu, 30)) * 2;
      cursor_ += 4;
    }
    return true;
  }

  static Int32 signExtend(UInt32 value, int bits) {
    const UInt32 sign = 1u << (bits - 1);
    return static_cast<Int32>((value ^ sign) - sign);
  }

  std::span<const UInt8> data_;
  const GlobalsWorld& world_;
  std::size_t cursor_ = 0;
  StartupDataResult result_;
};

}  // namespace

StartupDataResult UnpackStartupData(std::span<const UInt8> data0, const GlobalsWorld& world) {
  return Unpacker(data0, world).run();
}

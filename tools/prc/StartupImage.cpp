#include "prc/StartupImage.h"
#include <cstdint>
#include <cstdio>
#include <optional>
#include "palm/Endian.h"
#include "prc/DataCompressor.h"
#include "prc/RelocationEncoder.h"

namespace {

constexpr UInt32 kGotReservedBytes = 12;  // the first three GOT longs: A5 + 0 belongs to the launch

std::string hex(UInt32 v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%X", v);
  return buf;
}

// The globals world of the link: [dataStart, a5) below A5, [a5, gotEnd) above.
struct Layout {
  UInt32 codeSize = 0;
  UInt32 dataStart = 0;
  UInt32 a5 = 0;
  UInt32 gotEnd = 0;
  const ElfSection* data = nullptr;
  const ElfSection* got = nullptr;
};

class Builder {
 public:
  Builder(const ElfImage& elf, OpcodeServedPredicate served, StartupImage& image, std::string& error)
      : elf_(elf), served_(served), image_(image), error_(error) {}

  bool run() {
    return findLayout() && checkCode() && collectDataPointers() && collectGotPointers() && emitResources();
  }

 private:
  bool fail(const std::string& message) {
    error_ = message;
    return false;
  }

  bool findLayout() {
    const ElfSection* text = elf_.section(".text");
    if (!text || text->address != 0 || text->type != Elf::kSectionProgBits)
      return fail("no .text section at address 0");
    if (elf_.entry() != 0) return fail("entry point " + hex(elf_.entry()) + " is not 0");
    for (const ElfSection& s : elf_.sections()) {
      const bool known = s.name == ".text" || s.name == ".data" || s.name == ".bss" || s.name == ".got";
      if ((s.flags & Elf::kFlagAlloc) && s.size > 0 && !known)
        return fail("section " + s.name + " is not placed by the Palm linker script");
    }
    const std::optional<UInt32> a5 = elf_.symbolValue("__a5");
    const std::optional<UInt32> textEnd = elf_.symbolValue("__text_end");
    if (!a5 || !textEnd) return fail("symbols __a5 and __text_end missing: not linked with the Palm linker script");
    if (*textEnd > text->size || *textEnd % 2 != 0) return fail("__text_end outside the code");
    const std::optional<UInt32> gotSymbol = elf_.symbolValue("_GLOBAL_OFFSET_TABLE_");
    if (gotSymbol && *gotSymbol != *a5) return fail("the GOT does not start at A5");

    layout_.codeSize = text->size;
    layout_.a5 = *a5;
    layout_.data = elf_.section(".data");
    layout_.got = elf_.section(".got");
    const ElfSection* bss = elf_.section(".bss");
    layout_.dataStart = layout_.data ? layout_.data->address : bss ? bss->address : *a5;
    layout_.gotEnd = layout_.got ? layout_.got->address + layout_.got->size : *a5;
    if (layout_.got && layout_.got->address != *a5) return fail("the GOT does not start at A5");
    if (layout_.got && layout_.got->size > 0 && layout_.got->size < kGotReservedBytes)
      return fail("the GOT lacks its three reserved longs");
    if (layout_.dataStart < layout_.codeSize || layout_.dataStart > layout_.a5)
      return fail("globals overlap the code or lie above A5");
    image_.code1 = text->bytes;
    image_.textEnd = *textEnd;
    return true;
  }

  bool checkCode() {
    const ElfSection& text = *elf_.section(".text");
    for (const ElfRelocation& r : elf_.relocationsFor(elf_.indexOf(text))) {
      switch (r.type) {
        case Elf::R_68K_NONE: case Elf::R_68K_PC32: case Elf::R_68K_PC16: case Elf::R_68K_PC8:
        case Elf::R_68K_GOT32O: case Elf::R_68K_GOT16O: case Elf::R_68K_GOT8O:
          break;
        case Elf::R_68K_32: case Elf::R_68K_16: case Elf::R_68K_8:
          return fail("absolute relocation in code at " + hex(r.offset) + symbolNote(r));
        default:
          return fail("unknown relocation type " + std::to_string(r.type) + " in code at " + hex(r.offset));
      }
    }
    std::span<const UInt8> instructions(image_.code1.data(), image_.textEnd);
    if (auto finding = FindUnservedInstruction(instructions, served_))
      return fail("instruction word " + hex(finding->word) + " at code offset " + hex(UInt32(finding->offset)) +
                  ": " + finding->reason);
    return true;
  }

  std::string symbolNote(const ElfRelocation& r) const {
    if (r.symbol < elf_.symbols().size() && !elf_.symbols()[r.symbol].name.empty())
      return " (" + elf_.symbols()[r.symbol].name + ")";
    return {};
  }

  // Rewrites the pointer at `slot` (an address in the globals) for its list.
  bool classifyPointer(UInt8* slot, UInt32 slotAddress) {
    const std::int64_t fromA5 = static_cast<std::int64_t>(slotAddress) - layout_.a5;
    if (fromA5 % 2 != 0) return fail("relocation at odd offset " + std::to_string(fromA5) + " from A5");
    const UInt32 value = get32(slot);
    if (value <= layout_.codeSize) {
      codePointers_.push_back(static_cast<Int32>(fromA5));
    } else if (value >= layout_.dataStart && value <= layout_.gotEnd) {
      set32(slot, value - layout_.a5);
      globalsPointers_.push_back(static_cast<Int32>(fromA5));
    } else {
      return fail("pointer at " + hex(slotAddress) + " leads outside the code and the globals (" + hex(value) + ")");
    }
    return true;
  }

  bool collectDataPointers() {
    if (!layout_.data) return true;
    dataBytes_ = layout_.data->bytes;
    for (const ElfRelocation& r : elf_.relocationsFor(elf_.indexOf(*layout_.data))) {
      if (r.type == Elf::R_68K_NONE) continue;
      if (r.type != Elf::R_68K_32)
        return fail("relocation type " + std::to_string(r.type) + " in data at " + hex(r.offset) + symbolNote(r));
      const UInt32 at = r.offset - layout_.data->address;
      if (r.offset < layout_.data->address || at + 4 > dataBytes_.size())
        return fail("data relocation at " + hex(r.offset) + " outside .data");
      if (!classifyPointer(&dataBytes_[at], r.offset)) return false;
    }
    return true;
  }

  bool collectGotPointers() {
    if (!layout_.got) return true;
    gotBytes_ = layout_.got->bytes;
    for (UInt32 at = kGotReservedBytes; at + 4 <= gotBytes_.size(); at += 4) {
      if (get32(&gotBytes_[at]) == 0) return fail("GOT entry at A5 + " + std::to_string(at) + " is 0 (undefined weak symbol?)");
      if (!classifyPointer(&gotBytes_[at], layout_.a5 + at)) return false;
    }
    return true;
  }

  bool emitResources() {
    image_.code0.assign(16, 0);
    set32(&image_.code0[0], layout_.gotEnd - layout_.a5);
    set32(&image_.code0[4], layout_.a5 - layout_.dataStart);
    set32(&image_.code0[8], 0);
    set32(&image_.code0[12], 0);

    std::vector<UInt8>& out = image_.data0;
    out.assign(4, 0);
    append(out, CompressBlock(static_cast<Int32>(layout_.dataStart - layout_.a5), dataBytes_).bytes);
    append(out, CompressBlock(0, gotBytes_).bytes);
    append(out, CompressBlock(0, {}).bytes);
    RelocationList globals, code;
    if (!EncodeRelocationList(globalsPointers_, globals, error_) || !EncodeRelocationList(codePointers_, code, error_))
      return false;
    append(out, globals.bytes);
    append(out, code.bytes);
    image_.globalsRelocations = globalsPointers_.size();
    image_.codeRelocations = codePointers_.size();
    return true;
  }

  static void append(std::vector<UInt8>& out, const std::vector<UInt8>& bytes) {
    out.insert(out.end(), bytes.begin(), bytes.end());
  }

  const ElfImage& elf_;
  OpcodeServedPredicate served_;
  StartupImage& image_;
  std::string& error_;
  Layout layout_;
  std::vector<UInt8> dataBytes_;
  std::vector<UInt8> gotBytes_;
  std::vector<Int32> globalsPointers_;
  std::vector<Int32> codePointers_;
};

}  // namespace

bool BuildStartupImage(const ElfImage& elf, OpcodeServedPredicate served, StartupImage& image, std::string& error) {
  image = StartupImage{};
  return Builder(elf, served, image, error).run();
}

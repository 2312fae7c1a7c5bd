#include "prc/ElfImage.h"
#include <cstring>
#include "palm/Endian.h"

namespace {

constexpr std::size_t kHeaderSize = 52;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::size_t kSymbolSize = 16;
constexpr std::size_t kRelaSize = 12;

bool inFile(std::span<const UInt8> file, std::size_t offset, std::size_t length) {
  return offset <= file.size() && file.size() - offset >= length;
}

std::string stringAt(std::span<const UInt8> table, std::size_t offset) {
  if (offset >= table.size()) return {};
  const char* s = reinterpret_cast<const char*>(table.data() + offset);
  return std::string(s, strnlen(s, table.size() - offset));
}

}  // namespace

bool ElfImage::load(std::span<const UInt8> file, std::string& error) {
  *this = ElfImage{};
  if (!inFile(file, 0, kHeaderSize) || std::memcmp(file.data(), "\x7F" "ELF", 4) != 0) {
    error = "not an ELF file";
    return false;
  }
  if (file[4] != 1 || file[5] != 2) {
    error = "not a 32-bit big-endian ELF file";
    return false;
  }
  if (get16(&file[18]) != Elf::kMachine68K || get16(&file[16]) != Elf::kTypeExecutable) {
    error = "not an m68k executable";
    return false;
  }
  entry_ = get32(&file[24]);
  const std::size_t shoff = get32(&file[32]);
  const std::size_t shentsize = get16(&file[46]);
  const std::size_t shnum = get16(&file[48]);
  const std::size_t shstrndx = get16(&file[50]);
  if (shentsize != kSectionHeaderSize || !inFile(file, shoff, shnum * kSectionHeaderSize) || shstrndx >= shnum) {
    error = "section header table out of the file";
    return false;
  }
  std::vector<std::pair<UInt32, UInt32>> where(shnum);  // file offset, name offset
  for (std::size_t i = 0; i < shnum; ++i) {
    const UInt8* h = &file[shoff + i * kSectionHeaderSize];
    ElfSection s;
    s.type = get32(h + 4);
    s.flags = get32(h + 8);
    s.address = get32(h + 12);
    s.size = get32(h + 20);
    s.link = get32(h + 24);
    s.info = get32(h + 28);
    const UInt32 offset = get32(h + 16);
    if (s.type != Elf::kSectionNoBits && i != 0) {
      if (!inFile(file, offset, s.size)) {
        error = "section " + std::to_string(i) + " lies outside the file";
        return false;
      }
      s.bytes.assign(file.begin() + offset, file.begin() + offset + s.size);
    }
    where[i] = {offset, get32(h)};
    sections_.push_back(std::move(s));
  }
  const std::vector<UInt8>& names = sections_[shstrndx].bytes;
  for (std::size_t i = 0; i < shnum; ++i) sections_[i].name = stringAt(names, where[i].second);
  return loadSymbols(error);
}

bool ElfImage::loadSymbols(std::string& error) {
  for (std::size_t i = 0; i < sections_.size(); ++i) {
    const ElfSection& s = sections_[i];
    if (s.type == Elf::kSectionSymTab) {
      if (s.link >= sections_.size()) {
        error = "symbol table without a string table";
        return false;
      }
      const std::vector<UInt8>& strings = sections_[s.link].bytes;
      for (std::size_t at = 0; at + kSymbolSize <= s.bytes.size(); at += kSymbolSize) {
        const UInt8* p = &s.bytes[at];
        symbols_.push_back({stringAt(strings, get32(p)), get32(p + 4), get32(p + 8), get16(p + 14), p[12]});
      }
    }
  }
  for (std::size_t i = 0; i < sections_.size(); ++i) {
    const ElfSection& s = sections_[i];
    if (s.type != Elf::kSectionRela) continue;
    if (s.info >= sections_.size()) {
      error = "relocation section " + s.name + " names no section";
      return false;
    }
    for (std::size_t at = 0; at + kRelaSize <= s.bytes.size(); at += kRelaSize) {
      const UInt8* p = &s.bytes[at];
      const UInt32 info = get32(p + 4);
      relocations_.push_back({s.info, {get32(p), static_cast<UInt8>(info & 0xFF), info >> 8,
                                       static_cast<Int32>(get32(p + 8))}});
    }
  }
  return true;
}

const ElfSection* ElfImage::section(const std::string& name) const {
  for (const ElfSection& s : sections_)
    if (s.name == name) return &s;
  return nullptr;
}

std::optional<UInt32> ElfImage::symbolValue(const std::string& name) const {
  for (const ElfSymbol& s : symbols_)
    if (s.name == name && s.section != 0) return s.value;
  return std::nullopt;
}

std::vector<ElfRelocation> ElfImage::relocationsFor(std::size_t target) const {
  std::vector<ElfRelocation> out;
  for (const auto& [section, r] : relocations_)
    if (section == target) out.push_back(r);
  return out;
}

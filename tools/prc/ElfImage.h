// A checked reader for the big-endian ELF32 m68k executables that the Palm
// application link produces: sections, symbols and the relocations kept with
// -Wl,-q. Every offset in the file is checked before use.
#pragma once
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>
#include "palm/PalmTypes.h"

namespace Elf {
constexpr UInt16 kMachine68K = 4;
constexpr UInt16 kTypeExecutable = 2;
constexpr UInt32 kSectionProgBits = 1;
constexpr UInt32 kSectionSymTab = 2;
constexpr UInt32 kSectionRela = 4;
constexpr UInt32 kSectionNoBits = 8;
constexpr UInt32 kFlagAlloc = 0x2;
constexpr UInt32 kFlagExec = 0x4;

// m68k relocation types.
enum RelocationType : UInt8 {
  R_68K_NONE = 0,
  R_68K_32 = 1,
  R_68K_16 = 2,
  R_68K_8 = 3,
  R_68K_PC32 = 4,
  R_68K_PC16 = 5,
  R_68K_PC8 = 6,
  R_68K_GOT32O = 10,
  R_68K_GOT16O = 11,
  R_68K_GOT8O = 12,
};
}  // namespace Elf

struct ElfSection {
  std::string name;
  UInt32 type = 0;
  UInt32 flags = 0;
  UInt32 address = 0;
  UInt32 size = 0;
  UInt32 link = 0;
  UInt32 info = 0;
  std::vector<UInt8> bytes;  // contents; empty for NOBITS
};

struct ElfSymbol {
  std::string name;
  UInt32 value = 0;
  UInt32 size = 0;
  UInt16 section = 0;
  UInt8 info = 0;
};

struct ElfRelocation {
  UInt32 offset = 0;  // the address the relocation applies to
  UInt8 type = 0;
  UInt32 symbol = 0;
  Int32 addend = 0;
};

class ElfImage {
 public:
  // False with a reason when the file is not a well-formed ELF32 m68k executable.
  bool load(std::span<const UInt8> file, std::string& error);

  UInt32 entry() const { return entry_; }
  const std::vector<ElfSection>& sections() const { return sections_; }
  const std::vector<ElfSymbol>& symbols() const { return symbols_; }
  const ElfSection* section(const std::string& name) const;
  std::optional<UInt32> symbolValue(const std::string& name) const;
  // The relocations kept for the section with index `target`.
  std::vector<ElfRelocation> relocationsFor(std::size_t target) const;
  std::size_t indexOf(const ElfSection& s) const { return static_cast<std::size_t>(&s - sections_.data()); }

 private:
  bool loadSymbols(std::string& error);

  UInt32 entry_ = 0;
  std::vector<ElfSection> sections_;
  std::vector<ElfSymbol> symbols_;
  std::vector<std::pair<std::size_t, ElfRelocation>> relocations_;
};

#include "emulator/core/OpcodeTable.h"
#include <bitset>
#include "emulator/core/AddressingClasses.h"
#include "emulator/core/OpcodeForms.h"
#include "emulator/core/OpcodeServed.h"

namespace m68k {
namespace {
struct Pattern {
  std::uint16_t fixedMask = 0, fixedValue = 0, free = 0;
  bool hasSource = false, hasDestination = false, hasDisplacement = false;
  bool valid = true;
};

// Reads a pattern of the form list; the field symbols must sit where their
// fields are.
Pattern parse(const char* text) {
  Pattern p;
  std::uint16_t e = 0, d = 0, n = 0;
  int bit = 15;
  for (const char* c = text; *c; ++c) {
    if (*c == ' ') continue;
    if (bit < 0) return Pattern{.valid = false};
    std::uint16_t b = static_cast<std::uint16_t>(1u << bit);
    switch (*c) {
      case '1': p.fixedValue |= b; [[fallthrough]];
      case '0': p.fixedMask |= b; break;
      case '-': p.free |= b; break;
      case 'e': e |= b; break;
      case 'd': d |= b; break;
      case 'n': n |= b; break;
      default: p.valid = false;
    }
    --bit;
  }
  p.hasSource = e != 0;
  p.hasDestination = d != 0;
  p.hasDisplacement = n != 0;
  if (bit != -1 || (e && e != 0x003F) || (d && d != 0x0FC0) || (n && n != 0x00FF)) p.valid = false;
  return p;
}

bool accepts(const Pattern& p, std::uint16_t word, std::uint64_t sourceModes, std::uint64_t destinationModes) {
  if (p.hasSource && !((sourceModes >> (word & 63)) & 1)) return false;
  if (p.hasDestination) {
    unsigned field = (((word >> 6) & 7) << 3) | ((word >> 9) & 7);  // mode x 8 + register
    if (!((destinationModes >> field) & 1)) return false;
  }
  if (p.hasDisplacement && (word & 0xFF) == 0) return false;
  return true;
}

void registerForm(OpcodeTable& t, std::bitset<kHandlerCount>& introduced, bool introduces, unsigned number,
                  const char* pattern, std::uint64_t sourceModes, std::uint64_t destinationModes) {
  Pattern p = parse(pattern);
  if (!p.valid || number >= kHandlerCount) {
    ++t.badPatterns;
    return;
  }
  if (introduces) introduced.set(number);
  std::uint16_t open = static_cast<std::uint16_t>(~p.fixedMask);
  // Every word that matches the fixed bits: walk the subsets of the open bits.
  std::uint16_t sub = 0;
  do {
    std::uint16_t word = static_cast<std::uint16_t>(p.fixedValue | sub);
    if (accepts(p, word, sourceModes, destinationModes)) {
      if (t.handler[word] != kUnserved)
        ++t.conflicts;
      else
        t.handler[word] = static_cast<std::uint16_t>(number);
    }
    sub = static_cast<std::uint16_t>((sub - open) & open);
  } while (sub != 0);
}

OpcodeTable build() {
  using namespace modes;
  OpcodeTable t;
  t.handler.fill(kUnserved);
  std::bitset<kHandlerCount> introduced, named;
#define QV_REGISTER(introduces, number, pattern, sourceModes, destinationModes)                                 \
  registerForm(t, introduced, introduces, handlerNumber(#number), pattern, sourceModes, destinationModes); \
  named.set(handlerNumber(#number) % kHandlerCount);
#define QV_FORM(number, pattern, sourceModes, destinationModes, ...) \
  QV_REGISTER(true, number, pattern, sourceModes, destinationModes)
#define QV_ALSO(number, pattern, sourceModes, destinationModes, ...) \
  QV_REGISTER(false, number, pattern, sourceModes, destinationModes)
  M68K_OPCODE_FORMS(QV_FORM, QV_ALSO)
#undef QV_FORM
#undef QV_ALSO
#undef QV_REGISTER
  t.missingHandlers = static_cast<unsigned>((named & ~introduced).count());
  return t;
}
}  // namespace

const OpcodeTable& opcodeTable() {
  static const OpcodeTable table = build();
  return table;
}
}  // namespace m68k

bool M68KOpcodeServed(UInt16 word) { return m68k::opcodeTable().handler[word] != m68k::kUnserved; }

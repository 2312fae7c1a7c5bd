#include "prc/InstructionScan.h"
#include "palm/Endian.h"

namespace {

// Effective-address kinds, one bit each.
enum : unsigned {
  kDn = 1u << 0,
  kAn = 1u << 1,
  kInd = 1u << 2,
  kPostInc = 1u << 3,
  kPreDec = 1u << 4,
  kDisp = 1u << 5,
  kIndex = 1u << 6,
  kAbsW = 1u << 7,
  kAbsL = 1u << 8,
  kPcDisp = 1u << 9,
  kPcIndex = 1u << 10,
  kImm = 1u << 11,
};
constexpr unsigned kAll = 0xFFF;
constexpr unsigned kData = kAll & ~kAn;
constexpr unsigned kMemory = kData & ~kDn;
constexpr unsigned kControl = kInd | kDisp | kIndex | kAbsW | kAbsL | kPcDisp | kPcIndex;
constexpr unsigned kAlterable = kDn | kAn | kInd | kPostInc | kPreDec | kDisp | kIndex | kAbsW | kAbsL;
constexpr unsigned kDataAlterable = kAlterable & ~kAn;
constexpr unsigned kMemoryAlterable = kDataAlterable & ~kDn;
constexpr unsigned kControlAlterable = kControl & kAlterable;

// Walks one instruction, counting its words. With `strict` off, extension
// words that lie beyond the buffer are taken as valid (for judging an opcode
// word alone).
class Decoder {
 public:
  Decoder(std::span<const UInt8> code, std::size_t offset, bool strict)
      : code_(code), offset_(offset), strict_(strict) {}

  std::size_t length() {
    UInt16 op = 0;
    if (!wordAt(0, op) || !decode(op)) return 0;
    if (strict_ && offset_ + words_ * 2 > code_.size()) return 0;
    return words_ * 2;
  }

 private:
  bool wordAt(std::size_t index, UInt16& w) const {
    const std::size_t at = offset_ + index * 2;
    if (at + 2 > code_.size()) return false;
    w = get16(&code_[at]);
    return true;
  }

  bool extension(std::size_t count = 1) {
    words_ += count;
    return true;
  }

  // A brief index extension word; the 68020 full format and scale factors are refused.
  bool indexExtension() {
    UInt16 w = 0;
    if (wordAt(words_, w) && (w & 0x0700) != 0) return false;
    if (!wordAt(words_, w) && strict_) return false;
    return extension();
  }

  // size: 1, 2 or 4 bytes (immediate operands); mode and reg from the opcode.
  bool ea(unsigned mode, unsigned reg, unsigned size, unsigned allowed) {
    static constexpr unsigned kModeKinds[7] = {kDn, kAn, kInd, kPostInc, kPreDec, kDisp, kIndex};
    static constexpr unsigned kMode7Kinds[5] = {kAbsW, kAbsL, kPcDisp, kPcIndex, kImm};
    unsigned kind = 0;
    if (mode < 7) kind = kModeKinds[mode];
    else if (reg < 5) kind = kMode7Kinds[reg];
    if ((kind & allowed) == 0) return false;
    switch (kind) {
      case kDisp: case kAbsW: case kPcDisp: return extension();
      case kIndex: case kPcIndex: return indexExtension();
      case kAbsL: return extension(2);
      case kImm: return extension(size == 4 ? 2 : 1);
      default: return true;
    }
  }

  bool eaOf(UInt16 op, unsigned size, unsigned allowed) { return ea((op >> 3) & 7, op & 7, size, allowed); }

  static unsigned sizeBytes(unsigned ss) { return ss == 0 ? 1 : ss == 1 ? 2 : 4; }

  bool decode(UInt16 op) {
    switch (op >> 12) {
      case 0x0: return group0(op);
      case 0x1: case 0x2: case 0x3: return move(op);
      case 0x4: return group4(op);
      case 0x5: return group5(op);
      case 0x6: return (op & 0xFF) == 0xFF ? false : extension((op & 0xFF) == 0 ? 1 : 0);
      case 0x7: return (op & 0x0100) == 0;
      case 0x8: return orDivide(op);
      case 0x9: case 0xD: return addSubtract(op);
      case 0xB: return compareEor(op);
      case 0xC: return andMultiply(op);
      case 0xE: return shift(op);
      default: return false;  // A-line and F-line
    }
  }

  bool group0(UInt16 op) {
    const unsigned ss = (op >> 6) & 3;
    if (op & 0x0100) {
      if (((op >> 3) & 7) == 1) return extension();  // MOVEP
      return eaOf(op, 1, ss == 0 ? kData : kDataAlterable);  // dynamic BTST/BCHG/BCLR/BSET
    }
    switch ((op >> 9) & 7) {
      case 4:  // static bit operation: bit number word, then the operand
        extension();
        return eaOf(op, 1, ss == 0 ? (kData & ~kImm) : kDataAlterable);
      case 0: case 1: case 5:  // ORI, ANDI, EORI (also to CCR and SR)
        if ((op & 0xFF) == 0x3C || (op & 0xFF) == 0x7C) return extension();
        [[fallthrough]];
      case 2: case 3: case 6:  // SUBI, ADDI, CMPI
        if (ss == 3) return false;
        extension(ss == 2 ? 2 : 1);
        return eaOf(op, sizeBytes(ss), kDataAlterable);
      default: return false;  // MOVES and the 68020 forms
    }
  }

  bool move(UInt16 op) {
    const unsigned size = (op >> 12) == 1 ? 1 : (op >> 12) == 3 ? 2 : 4;
    if (!eaOf(op, size, size == 1 ? kData : kAll)) return false;
    const unsigned destMode = (op >> 6) & 7, destReg = (op >> 9) & 7;
    if (destMode == 1) return size != 1;  // MOVEA
    return ea(destMode, destReg, size, kDataAlterable);
  }

  bool group4(UInt16 op) {
    const unsigned ss = (op >> 6) & 3, mode = (op >> 3) & 7;
    if (op & 0x0100) {
      if (ss == 3) return eaOf(op, 4, kControl);   // LEA
      if (ss == 2) return eaOf(op, 2, kData);      // CHK.W
      return false;                                // CHK.L
    }
    switch ((op >> 9) & 7) {
      case 0: return eaOf(op, sizeBytes(ss), kDataAlterable);             // NEGX, MOVE from SR
      case 1: return ss != 3 && eaOf(op, sizeBytes(ss), kDataAlterable);  // CLR
      case 2: case 3:                                                      // NEG, NOT, MOVE to CCR/SR
        return ss == 3 ? eaOf(op, 2, kData) : eaOf(op, sizeBytes(ss), kDataAlterable);
      case 4:
        if (ss == 0) return eaOf(op, 1, kDataAlterable);  // NBCD
        if (ss == 1) return mode == 0 || (mode != 1 && eaOf(op, 4, kControl));  // SWAP, PEA
        if (mode == 0) return true;                                              // EXT
        extension();                                                             // MOVEM register mask
        return eaOf(op, 2, kControlAlterable | kPreDec);
      case 5:
        if (op == 0x4AFC) return true;  // ILLEGAL
        return eaOf(op, ss == 3 ? 1 : sizeBytes(ss), kDataAlterable);  // TST, TAS
      case 6:
        if (ss < 2) return false;  // 68020 MULL/DIVL
        extension();
        return eaOf(op, 2, kControl | kPostInc);  // MOVEM to registers
      default: return group4Misc(op, ss);
    }
  }

  bool group4Misc(UInt16 op, unsigned ss) {
    if (ss == 2 || ss == 3) return eaOf(op, 4, kControl);  // JSR, JMP
    if (ss == 0) return false;
    const unsigned low = op & 0x3F;
    if (low == (kTrap15Word & 0x3F)) return extension();  // TRAP #15 and its trap word
    if (low < 0x10) return true;                          // TRAP #n
    if (low < 0x18) return extension();                   // LINK.W
    if (low < 0x30) return true;                          // UNLK, MOVE USP
    switch (low) {
      case 0x30: case 0x31: case 0x33: case 0x35: case 0x36: case 0x37: return true;  // RESET NOP RTE RTS TRAPV RTR
      case 0x32: return extension();                                                 // STOP
      default: return false;                                                         // RTD, MOVEC
    }
  }

  bool group5(UInt16 op) {
    const unsigned ss = (op >> 6) & 3;
    if (ss == 3) return ((op >> 3) & 7) == 1 ? extension() : eaOf(op, 1, kDataAlterable);  // DBcc, Scc
    return eaOf(op, sizeBytes(ss), ss == 0 ? kDataAlterable : kAlterable);               // ADDQ, SUBQ
  }

  bool orDivide(UInt16 op) {
    const unsigned opmode = (op >> 6) & 7, mode = (op >> 3) & 7;
    if (opmode == 3 || opmode == 7) return eaOf(op, 2, kData);  // DIVU.W, DIVS.W
    if (opmode < 3) return eaOf(op, sizeBytes(opmode), kData);
    if (mode < 2) return opmode == 4;                           // SBCD; PACK and UNPK are 68020
    return eaOf(op, sizeBytes(opmode - 4), kMemoryAlterable);
  }

  bool addSubtract(UInt16 op) {
    const unsigned opmode = (op >> 6) & 7, mode = (op >> 3) & 7;
    if (opmode == 3) return eaOf(op, 2, kAll);  // ADDA.W, SUBA.W
    if (opmode == 7) return eaOf(op, 4, kAll);
    if (opmode < 3) return eaOf(op, sizeBytes(opmode), opmode == 0 ? kData : kAll);
    if (mode < 2) return true;                  // ADDX, SUBX
    return eaOf(op, sizeBytes(opmode - 4), kMemoryAlterable);
  }

  bool compareEor(UInt16 op) {
    const unsigned opmode = (op >> 6) & 7, mode = (op >> 3) & 7;
    if (opmode == 3) return eaOf(op, 2, kAll);  // CMPA.W
    if (opmode == 7) return eaOf(op, 4, kAll);  // CMPA.L
    if (opmode < 3) return eaOf(op, sizeBytes(opmode), opmode == 0 ? kData : kAll);
    if (mode == 1) return true;                 // CMPM
    return eaOf(op, sizeBytes(opmode - 4), kDataAlterable);  // EOR
  }

  bool andMultiply(UInt16 op) {
    const unsigned opmode = (op >> 6) & 7, mode = (op >> 3) & 7;
    if (opmode == 3 || opmode == 7) return eaOf(op, 2, kData);  // MULU.W, MULS.W
    if (opmode < 3) return eaOf(op, sizeBytes(opmode), kData);
    if (mode < 2) {
      if (opmode == 4) return true;                  // ABCD
      if (opmode == 5) return true;                  // EXG Dx,Dy / Ax,Ay
      return mode == 1;                              // EXG Dx,Ay
    }
    return eaOf(op, sizeBytes(opmode - 4), kMemoryAlterable);
  }

  bool shift(UInt16 op) {
    if (((op >> 6) & 3) != 3) return true;           // register shifts and rotates
    if (op & 0x0800) return false;                   // 68020 bit-field instructions
    return eaOf(op, 2, kMemoryAlterable);            // memory shifts
  }

  std::span<const UInt8> code_;
  std::size_t offset_;
  bool strict_;
  std::size_t words_ = 1;
};

}  // namespace

std::size_t M68000InstructionLength(std::span<const UInt8> code, std::size_t offset) {
  return Decoder(code, offset, true).length();
}

bool Is68000OpcodeWord(UInt16 word) {
  const UInt8 bytes[2] = {static_cast<UInt8>(word >> 8), static_cast<UInt8>(word)};
  return Decoder(bytes, 0, false).length() != 0;
}

std::optional<InstructionFinding> FindUnservedInstruction(std::span<const UInt8> code, OpcodeServedPredicate served) {
  std::size_t offset = 0;
  while (offset < code.size()) {
    const UInt16 word = offset + 2 <= code.size() ? get16(&code[offset]) : UInt16(code[offset] << 8);
    const std::size_t length = M68000InstructionLength(code, offset);
    if (length == 0) return InstructionFinding{offset, word, "not a 68000 instruction"};
    if (word != kTrap15Word && !served(word))
      return InstructionFinding{offset, word, "not served by the interpreter core"};
    offset += length;
  }
  return std::nullopt;
}

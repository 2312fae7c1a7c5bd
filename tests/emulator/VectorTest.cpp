// Runs the interpreter core on the single-instruction 68000 vectors, one
// CTest test per file (suite "vectors"). Each case is passed, skipped for a
// named reason, or failed; the counts are reported per file and any failure
// fails the test.
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <sstream>
#include "FlatCore.h"
#include "VectorFile.h"
#include "support/SharedData.h"

namespace {
constexpr std::uint32_t kMask24 = 0x00FFFFFF;
constexpr std::uint32_t kSupervisor = 0x2000;

// The instruction files whose words the core leaves to its caller: system
// traps, exception-raising and supervisor forms, MOVEP.
const char* const kLeftToCaller[] = {"ANDItoSR", "EORItoSR", "ORItoSR",  "CHK",        "ILLEGAL_LINEA",
                                     "ILLEGAL_LINEF", "MOVEP.l", "MOVEP.w", "MOVEfromUSP", "MOVEtoUSP",
                                     "RESET",    "RTE",      "STOP",     "TRAP",        "TRAPV"};

bool leftToCaller(const std::string& file) {
  return std::find(std::begin(kLeftToCaller), std::end(kLeftToCaller), file) != std::end(kLeftToCaller);
}

struct Outcome {
  unsigned passed = 0, failed = 0;
  std::map<std::string, unsigned> skipped;
  std::vector<std::string> failures;
};

class Machine {
 public:
  Machine() : bytes_(new std::uint8_t[0x1000000]()) { memory_.bytes = bytes_.get(); }

  void load(const VectorCase& v) {
    for (std::uint32_t a : touched_) memory_.bytes[a] = 0;
    touched_.clear();
    for (const auto& e : v.initial.ram) poke(e.address, e.word);
    for (const auto& e : v.final.ram) touch(e.address);
    state_ = M68KState{};
    for (int i = 0; i < 8; ++i) state_.reg[i] = v.initial.d[i];
    for (int i = 0; i < 7; ++i) state_.reg[8 + i] = v.initial.a[i];
    state_.reg[15] = (v.initial.sr & kSupervisor) ? v.initial.ssp : v.initial.usp;
    state_.sr = static_cast<UInt16>(v.initial.sr);
    state_.pc = v.initial.pc - 4;
    state_.lcdStart = 0xFFFFFFFF;  // no frame buffer
    state_.lcdEnd = 0;
  }
  M68KAccelStatus step() { return RunFlatStep(&state_, memory_); }
  const M68KState& state() const { return state_; }
  std::uint16_t word(std::uint32_t a) const {
    return static_cast<std::uint16_t>((memory_.bytes[a & kMask24] << 8) | memory_.bytes[(a + 1) & kMask24]);
  }

 private:
  void touch(std::uint32_t a) {
    touched_.push_back(a & kMask24);
    touched_.push_back((a + 1) & kMask24);
  }
  void poke(std::uint32_t a, std::uint16_t w) {
    touch(a);
    memory_.bytes[a & kMask24] = static_cast<std::uint8_t>(w >> 8);
    memory_.bytes[(a + 1) & kMask24] = static_cast<std::uint8_t>(w);
  }
  std::unique_ptr<std::uint8_t[]> bytes_;
  m68k::FlatMemory memory_{};
  M68KState state_{};
  std::vector<std::uint32_t> touched_;
};

std::uint16_t initialWord(const VectorCase& v, std::uint32_t a) {
  for (const auto& e : v.initial.ram)
    if (e.address == a) return e.word;
  return 0;
}

// A case that ends in 68000 exception processing: an address error, or the
// fetch of a vector whose handler the final PC has reached.
bool endsInException(const VectorCase& v) {
  for (const auto& t : v.transactions) {
    if (t.kind == 4 || t.kind == 5) return true;
    if (t.kind == 2 && t.address < 0x400 && (t.address & 3) == 0) {
      std::uint32_t vector = (std::uint32_t(initialWord(v, t.address)) << 16) | initialWord(v, t.address + 2);
      if (((vector + 4) & kMask24) == (v.final.pc & kMask24)) return true;
    }
  }
  return false;
}

bool decimalFile(const std::string& file) { return file == "ABCD" || file == "SBCD" || file == "NBCD"; }

// Decimal operands with a digit above 9 have no defined result on a 68000.
// The operands are the registers of the register forms, else the data bytes
// the case read from memory.
bool decimalDigitsValid(const std::string& file, const VectorCase& v) {
  std::uint16_t op = initialWord(v, v.initial.pc - 4);
  std::vector<std::uint32_t> operands;
  if (file == "NBCD" && (op & 0x38) == 0) {
    operands = {v.initial.d[op & 7]};
  } else if (file != "NBCD" && !(op & 8)) {
    operands = {v.initial.d[op & 7], v.initial.d[(op >> 9) & 7]};
  } else {
    for (const auto& t : v.transactions)
      if (t.kind == 2 && (t.functionCode == 1 || t.functionCode == 5))
        operands.push_back(t.upperByte && !t.lowerByte ? t.data >> 8 : t.data);
  }
  for (std::uint32_t b : operands)
    if ((b & 0x0F) > 9 || (b & 0xF0) > 0x90) return false;
  return true;
}

std::string hex(std::uint32_t v) {
  char text[16];
  std::snprintf(text, sizeof text, "%08X", v);
  return text;
}

// Condition codes that the 68000 manual leaves undefined for this case.
std::uint32_t undefinedFlags(const std::string& file, const VectorCase& v) {
  if ((file == "DIVU" || file == "DIVS") && (v.final.sr & 0x02)) return 0x0C;  // N, Z after overflow
  if (decimalFile(file)) return 0x0A;                                            // N, V
  // The core keeps T0 and M of later processors, which a 68000 lacks.
  if (file == "MOVEtoSR") return 0x5000;
  return 0;
}

// Compares the machine with the expected final state; empty when equal.
std::string difference(const std::string& file, const VectorCase& v, const Machine& m) {
  std::ostringstream out;
  const M68KState& s = m.state();
  for (int i = 0; i < 8; ++i)
    if (s.reg[i] != v.final.d[i]) out << " D" << i << "=" << hex(s.reg[i]) << " want " << hex(v.final.d[i]);
  for (int i = 0; i < 7; ++i)
    if (s.reg[8 + i] != v.final.a[i]) out << " A" << i << "=" << hex(s.reg[8 + i]) << " want " << hex(v.final.a[i]);
  std::uint32_t a7 = (v.final.sr & kSupervisor) ? v.final.ssp : v.final.usp;
  if (s.reg[15] != a7) out << " A7=" << hex(s.reg[15]) << " want " << hex(a7);
  std::uint32_t care = 0xFFFF & ~undefinedFlags(file, v);
  if ((s.sr & care) != (v.final.sr & care)) out << " SR=" << hex(s.sr) << " want " << hex(v.final.sr);
  if ((s.pc & kMask24) != ((v.final.pc - 4) & kMask24)) out << " PC=" << hex(s.pc) << " want " << hex(v.final.pc - 4);
  for (const auto& e : v.final.ram)
    if (m.word(e.address) != e.word)
      out << " [" << hex(e.address) << "]=" << hex(m.word(e.address)) << " want " << hex(e.word);
  return out.str();
}

// The instruction's name in the case name ("123 LINK A5, #-8 4e55").
std::string mnemonic(const VectorCase& v) {
  std::size_t start = v.name.find(' ') + 1, end = v.name.find(' ', start);
  return v.name.substr(start, end - start);
}

bool sameAsInitial(const VectorCase& v, const Machine& m) {
  const M68KState& s = m.state();
  for (int i = 0; i < 8; ++i)
    if (s.reg[i] != v.initial.d[i]) return false;
  for (int i = 0; i < 7; ++i)
    if (s.reg[8 + i] != v.initial.a[i]) return false;
  return s.sr == v.initial.sr && s.pc == v.initial.pc - 4;
}

Outcome runFile(const std::string& file, const std::vector<VectorCase>& cases) {
  Outcome o;
  Machine m;
  auto fail = [&](const VectorCase& v, const std::string& why) {
    ++o.failed;
    if (o.failures.size() < 8) o.failures.push_back(v.name + ":" + why);
  };
  for (const VectorCase& v : cases) {
    m.load(v);
    if (leftToCaller(file)) {
      // The core must hand the word back untouched.
      M68KAccelStatus status = m.step();
      if (status != kM68KUnimplemented || !sameAsInitial(v, m))
        fail(v, " served a word that belongs to the caller (status " + std::to_string(status) + ")");
      else
        ++o.skipped["word left to the caller"];
      continue;
    }
    if (endsInException(v)) {
      ++o.skipped["ends in exception processing"];
      continue;
    }
    if (decimalFile(file) && !decimalDigitsValid(file, v)) {
      ++o.skipped["decimal digit above 9 (result undefined on a 68000)"];
      continue;
    }
    if ((v.initial.sr ^ v.final.sr) & kSupervisor) {
      ++o.skipped["supervisor bit changes the stack (the core has one A7)"];
      continue;
    }
    M68KAccelStatus status = m.step();
    if (status == kM68KUnimplemented) {
      if (!sameAsInitial(v, m))
        fail(v, " unserved word changed the state");
      else
        ++o.skipped["word left to the caller (" + mnemonic(v) + ")"];
      continue;
    }
    if (status != kM68KSingleStepped) {
      fail(v, " status " + std::to_string(status));
      continue;
    }
    std::string diff = difference(file, v, m);
    if (diff.empty())
      ++o.passed;
    else
      fail(v, diff);
  }
  return o;
}

class VectorFileTest : public testing::TestWithParam<std::string> {};

TEST_P(VectorFileTest, MatchesThe68000) {
  const std::string file = GetParam();
  std::vector<VectorCase> cases;
  std::string error;
  ASSERT_TRUE(ReadVectorFile(SharedDataPath("m68k-tests/" + file + ".json.bin").string(), cases, error)) << error;
  ASSERT_FALSE(cases.empty());
  Outcome o = runFile(file, cases);
  unsigned skipped = 0;
  std::ostringstream reasons;
  for (const auto& [reason, count] : o.skipped) {
    skipped += count;
    reasons << "\n  skipped " << count << ": " << reason;
  }
  std::printf("%s: %zu cases, passed %u, skipped %u, failed %u%s\n", file.c_str(), cases.size(), o.passed, skipped,
              o.failed, reasons.str().c_str());
  RecordProperty("passed", static_cast<int>(o.passed));
  RecordProperty("skipped", static_cast<int>(skipped));
  RecordProperty("failed", static_cast<int>(o.failed));
  for (const auto& f : o.failures) ADD_FAILURE() << f;
  EXPECT_EQ(o.failed, 0u);
}

std::string caseName(const testing::TestParamInfo<std::string>& info) {
  std::string n = info.param;
  std::replace(n.begin(), n.end(), '.', '_');
  return n;
}

INSTANTIATE_TEST_SUITE_P(
    vectors, VectorFileTest,
    testing::Values("ABCD", "ADD.b", "ADD.l", "ADD.w", "ADDA.l", "ADDA.w", "ADDX.b", "ADDX.l", "ADDX.w", "AND.b",
                    "AND.l", "AND.w", "ANDItoCCR", "ANDItoSR", "ASL.b", "ASL.l", "ASL.w", "ASR.b", "ASR.l", "ASR.w",
                    "BCHG", "BCLR", "BSET", "BSR", "BTST", "Bcc", "CHK", "CLR.b", "CLR.l", "CLR.w", "CMP.b", "CMP.l",
                    "CMP.w", "CMPA.l", "CMPA.w", "DBcc", "DIVS", "DIVU", "EOR.b", "EOR.l", "EOR.w", "EORItoCCR",
                    "EORItoSR", "EXG", "EXT.l", "EXT.w", "ILLEGAL_LINEA", "ILLEGAL_LINEF", "JMP", "JSR", "LEA", "LINK",
                    "LSL.b", "LSL.l", "LSL.w", "LSR.b", "LSR.l", "LSR.w", "MOVE.b", "MOVE.l", "MOVE.q", "MOVE.w",
                    "MOVEA.l", "MOVEA.w", "MOVEM.l", "MOVEM.w", "MOVEP.l", "MOVEP.w", "MOVEfromSR", "MOVEfromUSP",
                    "MOVEtoCCR", "MOVEtoSR", "MOVEtoUSP", "MULS", "MULU", "NBCD", "NEG.b", "NEG.l", "NEG.w", "NEGX.b",
                    "NEGX.l", "NEGX.w", "NOP", "NOT.b", "NOT.l", "NOT.w", "OR.b", "OR.l", "OR.w", "ORItoCCR",
                    "ORItoSR", "PEA", "RESET", "ROL.b", "ROL.l", "ROL.w", "ROR.b", "ROR.l", "ROR.w", "ROXL.b",
                    "ROXL.l", "ROXL.w", "ROXR.b", "ROXR.l", "ROXR.w", "RTE", "RTR", "RTS", "SBCD", "SUB.b", "SUB.l",
                    "SUB.w", "SUBA.l", "SUBA.w", "SUBX.b", "SUBX.l", "SUBX.w", "SWAP", "STOP", "Scc", "TAS", "TRAP",
                    "TRAPV", "TST.b", "TST.l", "TST.w", "UNLINK"),
    caseName);
}  // namespace

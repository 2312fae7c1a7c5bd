// Checks that code holds only instructions a 68000 runs: it walks the
// instruction stream word by word (the length of each instruction decoded
// from its opcode and addressing modes) and asks a predicate about every
// opcode word. The predicate is the interpreter core's own table of served
// opcode words; TRAP #15 with its trap word is the system call and is always
// accepted.
#pragma once
#include <cstddef>
#include <optional>
#include <span>
#include "palm/PalmTypes.h"

constexpr UInt16 kTrap15Word = 0x4E4F;

using OpcodeServedPredicate = bool (*)(UInt16 opcodeWord);

// The length in bytes of the 68000 instruction at `offset`, or 0 when the
// words there are no 68000 instruction (a 68020+ form, an A-line or F-line
// word, or an instruction cut off by the end of `code`).
std::size_t M68000InstructionLength(std::span<const UInt8> code, std::size_t offset);

// True when `word` starts a 68000 instruction (extension words assumed valid).
bool Is68000OpcodeWord(UInt16 word);

struct InstructionFinding {
  std::size_t offset = 0;
  UInt16 word = 0;
  const char* reason = "";
};

// The first instruction of `code` that is not a 68000 instruction or whose
// opcode word `served` refuses; nothing when all of it passes.
std::optional<InstructionFinding> FindUnservedInstruction(std::span<const UInt8> code, OpcodeServedPredicate served);

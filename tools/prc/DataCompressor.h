// The encoder of the compressed initial-data blocks of 'data' 0: one block is
// a 4-byte offset from A5 followed by runs, each introduced by a tag byte, up
// to a 0x00 tag. The runs it picks are reported so that tests can see which
// kinds of the tag table a block used.
#pragma once
#include <span>
#include <vector>
#include "palm/PalmTypes.h"

enum class RunKind { Literal, Zeros, Repeat, Ones, PatternFFFF, PatternFF, PatternA9F0, PatternA9F0Long };

struct CompressedBlock {
  std::vector<UInt8> bytes;   // offset, runs and the end tag
  std::vector<RunKind> runs;  // the runs in order
};

// Encodes `bytes` to be unpacked at A5 + offsetFromA5. Trailing zero bytes are
// left out: the globals block starts zeroed.
CompressedBlock CompressBlock(Int32 offsetFromA5, std::span<const UInt8> bytes);

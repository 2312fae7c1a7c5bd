// Application start-up resources as byte buffers: the globals sizes of
// 'code' 0 and the unpacking of 'data' 0 (three compressed blocks and two
// relocation lists) into a globals block. Pure functions: the launch hands in
// the locked resources and the new block, tests hand in plain buffers.
#pragma once
#include <cstddef>
#include <span>
#include "palm/PalmTypes.h"

struct Code0Sizes {
  UInt32 above = 0;  // bytes from A5 upwards
  UInt32 below = 0;  // bytes of globals below A5
  UInt32 jumpTableSize = 0;
  UInt32 jumpTableOffset = 0;
};

constexpr std::size_t kCode0UsedSize = 16;

// False when the resource is shorter than the 16 bytes it must hold.
bool ReadCode0Sizes(std::span<const UInt8> code0, Code0Sizes& sizes);

// The tag bytes of a compressed block run.
namespace StartupDataTag {
constexpr UInt8 kEnd = 0x00;
constexpr UInt8 kLiteral = 0x80;     // 1xxxxxxx: x + 1 literal bytes follow
constexpr UInt8 kZeros = 0x40;       // 01xxxxxx: x + 1 zero bytes
constexpr UInt8 kRepeat = 0x20;      // 001xxxxx b: x + 2 copies of b
constexpr UInt8 kOnes = 0x10;        // 0001xxxx: x + 1 bytes 0xFF
constexpr UInt8 kPatternFFFF = 0x01;  // b1 b2: 00 00 00 00 FF FF b1 b2
constexpr UInt8 kPatternFF = 0x02;    // b1 b2 b3: 00 00 00 00 FF b1 b2 b3
constexpr UInt8 kPatternA9F0 = 0x03;  // b1 b2 b3: A9 F0 00 00 b1 b2 00 b3
constexpr UInt8 kPatternA9F0Long = 0x04;  // b1 b2 b3 b4: A9 F0 00 b1 b2 b3 00 b4
}  // namespace StartupDataTag

struct StartupDataResult {
  bool ok = true;
  const char* reason = "";  // what was wrong, for the log and for tests
  std::size_t at = 0;       // resource offset where it was found
};

// Where the globals block lives for the relocations: A5 is `a5Offset` bytes
// into `globals`; `a5Address` is its 68K address and `codeAddress` that of the
// locked 'code' 1, the bases of relocation lists 1 and 2.
struct GlobalsWorld {
  std::span<UInt8> globals;
  std::size_t a5Offset = 0;
  UInt32 a5Address = 0;
  UInt32 codeAddress = 0;
};

// Unpacks 'data' 0 into the world's globals block. Every read is checked
// against the resource and every write against the block; a resource that
// ends right after block 3 carries no relocation lists.
StartupDataResult UnpackStartupData(std::span<const UInt8> data0, const GlobalsWorld& world);

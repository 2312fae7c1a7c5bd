#include "prc/DataCompressor.h"
#include <algorithm>
#include <optional>
#include "emulator/launch/StartupData.h"
#include "palm/Endian.h"

namespace {

using namespace StartupDataTag;

constexpr std::size_t kMaxLiteral = 128;
constexpr std::size_t kMaxZeros = 64;
constexpr std::size_t kMaxRepeat = 33;
constexpr std::size_t kMaxOnes = 16;
constexpr std::size_t kPatternLength = 8;

struct Run {
  RunKind kind;
  std::size_t length;  // bytes of output
  std::vector<UInt8> encoded;
};

std::size_t sameBytes(std::span<const UInt8> b, std::size_t i, std::size_t limit) {
  std::size_t n = 1;
  while (i + n < b.size() && n < limit && b[i + n] == b[i]) ++n;
  return n;
}

std::optional<Run> patternAt(std::span<const UInt8> b, std::size_t i) {
  if (b.size() - i < kPatternLength) return std::nullopt;
  const UInt8* p = &b[i];
  const bool fourZeros = p[0] == 0 && p[1] == 0 && p[2] == 0 && p[3] == 0;
  if (fourZeros && p[4] == 0xFF && p[5] == 0xFF)
    return Run{RunKind::PatternFFFF, kPatternLength, {kPatternFFFF, p[6], p[7]}};
  if (fourZeros && p[4] == 0xFF) return Run{RunKind::PatternFF, kPatternLength, {kPatternFF, p[5], p[6], p[7]}};
  if (p[0] == 0xA9 && p[1] == 0xF0 && p[2] == 0 && p[6] == 0) {
    if (p[3] == 0) return Run{RunKind::PatternA9F0, kPatternLength, {kPatternA9F0, p[4], p[5], p[7]}};
    return Run{RunKind::PatternA9F0Long, kPatternLength, {kPatternA9F0Long, p[3], p[4], p[5], p[7]}};
  }
  return std::nullopt;
}

// The best run other than a literal starting at i, when one pays off.
std::optional<Run> runAt(std::span<const UInt8> b, std::size_t i) {
  if (auto pattern = patternAt(b, i)) return pattern;
  const UInt8 value = b[i];
  if (value == 0) {
    const std::size_t n = sameBytes(b, i, kMaxZeros);
    if (n >= 2) return Run{RunKind::Zeros, n, {static_cast<UInt8>(kZeros | (n - 1))}};
  } else if (value == 0xFF) {
    const std::size_t n = sameBytes(b, i, kMaxOnes);
    if (n >= 2) return Run{RunKind::Ones, n, {static_cast<UInt8>(kOnes | (n - 1))}};
  } else {
    const std::size_t n = sameBytes(b, i, kMaxRepeat);
    if (n >= 3) return Run{RunKind::Repeat, n, {static_cast<UInt8>(kRepeat | (n - 2)), value}};
  }
  return std::nullopt;
}

}  // namespace

CompressedBlock CompressBlock(Int32 offsetFromA5, std::span<const UInt8> bytes) {
  std::size_t end = bytes.size();
  while (end > 0 && bytes[end - 1] == 0) --end;
  bytes = bytes.first(end);

  CompressedBlock block;
  block.bytes.resize(4);
  set32(block.bytes.data(), static_cast<UInt32>(offsetFromA5));
  std::size_t i = 0;
  while (i < bytes.size()) {
    if (auto run = runAt(bytes, i)) {
      block.bytes.insert(block.bytes.end(), run->encoded.begin(), run->encoded.end());
      block.runs.push_back(run->kind);
      i += run->length;
      continue;
    }
    std::size_t n = 1;
    while (i + n < bytes.size() && n < kMaxLiteral && !runAt(bytes, i + n)) ++n;
    block.bytes.push_back(static_cast<UInt8>(kLiteral | (n - 1)));
    block.bytes.insert(block.bytes.end(), bytes.begin() + static_cast<std::ptrdiff_t>(i),
                       bytes.begin() + static_cast<std::ptrdiff_t>(i + n));
    block.runs.push_back(RunKind::Literal);
    i += n;
  }
  block.bytes.push_back(kEnd);
  return block;
}

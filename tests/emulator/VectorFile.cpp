#include "VectorFile.h"
#include <fstream>
#include <iterator>

namespace {
struct Reader {
  const std::vector<unsigned char>& bytes;
  std::size_t at = 0;
  bool ok = true;

  std::uint32_t u32() {
    if (at + 4 > bytes.size()) {
      ok = false;
      return 0;
    }
    std::uint32_t v = bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) | (std::uint32_t(bytes[at + 3]) << 24);
    at += 4;
    return v;
  }
  std::uint16_t u16() {
    if (at + 2 > bytes.size()) {
      ok = false;
      return 0;
    }
    std::uint16_t v = static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
    at += 2;
    return v;
  }
  std::uint8_t u8() {
    if (at + 1 > bytes.size()) {
      ok = false;
      return 0;
    }
    return bytes[at++];
  }
  bool magic(std::uint32_t expected) { return u32() == expected && ok; }
};

bool readState(Reader& r, VectorState& s) {
  std::size_t start = r.at;
  std::uint32_t size = r.u32();
  if (!r.magic(0x01234567)) return false;
  for (auto& v : s.d) v = r.u32();
  for (auto& v : s.a) v = r.u32();
  s.usp = r.u32();
  s.ssp = r.u32();
  s.sr = r.u32();
  s.pc = r.u32();
  s.prefetch[0] = r.u32();
  s.prefetch[1] = r.u32();
  std::uint32_t n = r.u32();
  if (!r.ok || n > 4096) return false;
  s.ram.resize(n);
  for (auto& e : s.ram) {
    e.address = r.u32();
    e.word = r.u16();
  }
  r.at = start + size;
  return r.ok;
}
}  // namespace

bool ReadVectorFile(const std::string& path, std::vector<VectorCase>& cases, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot open " + path;
    return false;
  }
  std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Reader r{bytes};
  if (!r.magic(0x1A3F5D71)) {
    error = "bad file magic in " + path;
    return false;
  }
  std::uint32_t count = r.u32();
  cases.resize(count);
  for (auto& c : cases) {
    std::size_t start = r.at;
    std::uint32_t size = r.u32();
    if (!r.magic(0xABC12367)) break;
    std::size_t nameStart = r.at;
    std::uint32_t nameSize = r.u32();
    if (!r.magic(0x89ABCDEF)) break;
    std::uint32_t length = r.u32();
    if (r.at + length > bytes.size()) break;
    c.name.assign(reinterpret_cast<const char*>(&bytes[r.at]), length);
    r.at = nameStart + nameSize;
    if (!readState(r, c.initial) || !readState(r, c.final)) break;
    r.u32();
    if (!r.magic(0x456789AB)) break;
    r.u32();
    std::uint32_t n = r.u32();
    for (std::uint32_t i = 0; i < n && r.ok; ++i) {
      VectorTransaction t{r.u8(), 0, 0, 0, false, false};
      r.u32();
      if (t.kind != 0) {
        t.functionCode = r.u32();
        t.address = r.u32();
        t.data = r.u32();
        t.upperByte = r.u32() != 0;
        t.lowerByte = r.u32() != 0;
      }
      c.transactions.push_back(t);
    }
    r.at = start + size;
  }
  if (!r.ok || r.at != bytes.size()) {
    error = "malformed vector file " + path;
    return false;
  }
  return true;
}

#include "storage/EncodedFileName.h"

#include <cstring>

namespace {
constexpr UInt32 kMaxNameBytes = 32;

bool needsEscape(unsigned char c) { return c < 0x20 || std::strchr("\\/:*?\"<>|", c); }

void appendLetters(unsigned char byte, std::string& out) {
  out += static_cast<char>('a' + (byte >> 4));
  out += static_cast<char>('a' + (byte & 15));
}

// Two letters 'a'..'p' as one byte; false when they are not letters of ours.
bool readLetters(const Char* p, UInt8* byte) {
  auto hi = static_cast<unsigned char>(p[0]);
  if (hi < 'a' || hi > 'p') return false;
  auto lo = static_cast<unsigned char>(p[1]);
  if (lo < 'a' || lo > 'p') return false;
  *byte = static_cast<UInt8>(((hi - 'a') << 4) | (lo - 'a'));
  return true;
}

// A value written lowest byte first.
bool readValue(const Char*& p, int bytes, UInt32* value) {
  *value = 0;
  for (int i = 0; i < bytes; ++i, p += 2) {
    UInt8 b;
    if (!readLetters(p, &b)) return false;
    *value |= UInt32(b) << (8 * i);
  }
  return true;
}
}  // namespace

UInt32 encodeDatabaseName(const Char* name, std::string& out) {
  size_t before = out.size();
  for (UInt32 i = 0; i < kMaxNameBytes && name[i]; ++i) {
    auto c = static_cast<unsigned char>(name[i]);
    if (c == '#' || c == '%') {
      out += static_cast<char>(c);
      out += static_cast<char>(c);
    } else if (needsEscape(c)) {
      out += '%';
      appendLetters(c, out);
    } else {
      out += static_cast<char>(c);
    }
  }
  return static_cast<UInt32>(out.size() - before);
}

UInt32 encodeUnsigned16(UInt16 value, std::string& out) {
  appendLetters(value & 0xFF, out);
  appendLetters(value >> 8, out);
  return 4;
}

UInt32 encodeUnsigned32(UInt32 value, std::string& out) {
  for (int i = 0; i < 4; ++i) appendLetters(static_cast<unsigned char>(value >> (8 * i)), out);
  return 8;
}

void FormEncodedFileName(const Char* name, UInt16 attributes, UInt16 version, UInt32 creator, UInt32 type,
                         std::string& out) {
  encodeDatabaseName(name, out);
  out += '#';
  encodeUnsigned16(attributes & kFileNameAttributes, out);
  encodeUnsigned16(version, out);
  encodeUnsigned32(creator, out);
  encodeUnsigned32(type, out);
  out += kDatabaseFileExtension;
}

void FormBackupFileName(const Char* name, std::string& out) {
  encodeDatabaseName(name, out);
  out += kBackupFileExtension;
}

Boolean DecodeEncodedFileName(const Char* fileName, Char* nameOut, UInt16* attributesP, UInt16* versionP,
                              UInt32* creatorP, UInt32* typeP) {
  const Char* p = fileName;
  UInt32 n = 0;
  while (true) {
    Char c = *p;
    if (c == 0) return false;  // no "#": not one of ours
    if (c == '#' && p[1] != '#') {
      ++p;
      break;
    }
    UInt8 byte = static_cast<UInt8>(c);
    if (c == '#' || (c == '%' && p[1] == '%')) {
      p += 2;
    } else if (c == '%') {
      if (!readLetters(p + 1, &byte)) return false;
      p += 3;
    } else {
      ++p;
    }
    if (n >= kMaxNameBytes - 1) return false;
    nameOut[n++] = static_cast<Char>(byte);
  }
  if (n == 0) return false;
  nameOut[n] = 0;
  UInt32 attributes, version, creator, type;
  if (!readValue(p, 2, &attributes) || !readValue(p, 2, &version) || !readValue(p, 4, &creator) ||
      !readValue(p, 4, &type))
    return false;
  if (attributesP) *attributesP = static_cast<UInt16>(attributes);
  if (versionP) *versionP = static_cast<UInt16>(version);
  if (creatorP) *creatorP = creator;
  if (typeP) *typeP = type;
  return true;
}

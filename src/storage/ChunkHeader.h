// The 24-byte header in front of every chunk's data, its link block on the
// live or delayed list and a movable chunk's master block. All three live in
// the arena and are big-endian, read and written through get32/set32.
//
// Header: 0 link block, 4 owning database LocalID, 8 card, 10 heap ID,
// 12 size word (bits 0-23 size field = header + data + slack, 24-27 size
// adjustment, 28 executable, 29 write-protected), 16 hOffset ((header -
// master) / 2, signed; 0 when non-movable), 20 owner word (bits 0-3 owner,
// 4-7 lock count, 15 = non-movable; bits 8-31 the magic 0xB0B0B0).
#pragma once
#include "palm/Address.h"
#include "palm/Endian.h"
#include "palm/PalmTypes.h"

namespace Chunk {
constexpr UInt32 kHeaderSize = 24;
constexpr UInt32 kMagic = 0xB0B0B0;
constexpr UInt32 kMasterMagic = 0x00B0B0B0;
// A master block: the data pointer, then kMasterMagic.
constexpr UInt32 kMasterSize = 8;
constexpr UInt32 kExecutableBit = 0x10000000;
constexpr UInt32 kWriteProtectedBit = 0x20000000;
constexpr UInt8 kNonMovable = 15;
constexpr UInt8 kMaxLocks = 14;
// Largest data size whose header plus data, rounded up to 16, still fits the
// 24-bit size field.
constexpr UInt32 kMaxDataSize = 0xFFFFF0 - kHeaderSize;

enum Offset : UInt32 { kLink = 0, kDbID = 4, kCard = 8, kHeapID = 10, kSizeWord = 12, kHOffset = 16, kOwnerWord = 20 };

inline UInt8* header(const void* data) { return static_cast<UInt8*>(const_cast<void*>(data)) - kHeaderSize; }
inline UInt8* data(UInt8* hdr) { return hdr + kHeaderSize; }

inline UInt32 sizeField(const UInt8* hdr) { return get32(hdr + kSizeWord) & 0xFFFFFF; }
inline UInt32 adjustment(const UInt8* hdr) { return (get32(hdr + kSizeWord) >> 24) & 15; }
inline UInt32 dataSize(const UInt8* hdr) { return sizeField(hdr) - adjustment(hdr) - kHeaderSize; }
inline bool isExecutable(const UInt8* hdr) { return get32(hdr + kSizeWord) & kExecutableBit; }
inline bool isWriteProtected(const UInt8* hdr) { return get32(hdr + kSizeWord) & kWriteProtectedBit; }
inline void setSizeFlag(UInt8* hdr, UInt32 bit, bool on) {
  UInt32 w = get32(hdr + kSizeWord);
  set32(hdr + kSizeWord, on ? (w | bit) : (w & ~bit));
}

inline UInt8 owner(const UInt8* hdr) { return hdr[kOwnerWord + 3] & 15; }
inline UInt8 lockCount(const UInt8* hdr) { return hdr[kOwnerWord + 3] >> 4; }
inline void setOwner(UInt8* hdr, UInt8 o) {
  hdr[kOwnerWord + 3] = static_cast<UInt8>((hdr[kOwnerWord + 3] & 0xF0) | (o & 15));
}
inline void setLockCount(UInt8* hdr, UInt8 n) {
  hdr[kOwnerWord + 3] = static_cast<UInt8>((hdr[kOwnerWord + 3] & 15) | (n << 4));
}
inline bool isMovable(const UInt8* hdr) { return lockCount(hdr) != kNonMovable; }
inline bool hasMagic(const UInt8* hdr) { return (get32(hdr + kOwnerWord) >> 8) == kMagic; }
inline void clearMagic(UInt8* hdr) { set32(hdr + kOwnerWord, get32(hdr + kOwnerWord) & 0xFF); }

inline Int32 hOffset(const UInt8* hdr) { return static_cast<Int32>(get32(hdr + kHOffset)); }

// The master block a movable chunk's hOffset points at, or null when it does
// not point into the arena.
inline UInt8* masterOf(const UInt8* hdr) {
  EmuAddr m = toEmu(hdr) - get32(hdr + kHOffset) * 2u;
  return (Arena68K::inArena(m) && (m & 1) == 0) ? fromEmuAs<UInt8>(m) : nullptr;
}

// Link block fields: previous, next, chunk header (arena addresses).
namespace Link {
constexpr UInt32 kSize = 12;
inline EmuAddr prev(const UInt8* l) { return get32(l); }
inline EmuAddr next(const UInt8* l) { return get32(l + 4); }
inline UInt8* chunk(const UInt8* l) { return fromEmuAs<UInt8>(get32(l + 8)); }
inline void setPrev(UInt8* l, EmuAddr a) { set32(l, a); }
inline void setNext(UInt8* l, EmuAddr a) { set32(l + 4, a); }
inline void setChunk(UInt8* l, const UInt8* hdr) { set32(l + 8, toEmu(hdr)); }
}  // namespace Link
}  // namespace Chunk

// Basic Palm OS types as 68K code sees them. Values that 68K code stores
// (handles, pointers, LocalIDs) are 32-bit 68K addresses, never host pointers.
#pragma once
#include <cstdint>

using UInt8 = std::uint8_t;
using UInt16 = std::uint16_t;
using UInt32 = std::uint32_t;
using Int8 = std::int8_t;
using Int16 = std::int16_t;
using Int32 = std::int32_t;
using Boolean = std::uint8_t;
using Char = char;
using WChar = std::uint16_t;
using Err = std::uint16_t;
using Coord = std::int16_t;

// A 68K address: what 68K registers and Palm structures hold.
using EmuAddr = std::uint32_t;

using MemHandle = EmuAddr;   // 0x80000000 | address of the master pointer
using MemPtr = EmuAddr;
using LocalID = EmuAddr;

constexpr Err errNone = 0;

// The one table of Palm OS system traps: trap number (and selector for the
// manager dispatcher traps), name, result kind and argument kinds in
// prototype order. The SDK's trap wrappers are generated from it at build
// time and the native trap dispatcher derives its typed argument readers and
// result writers from the same rows.
//
// The calling convention the kinds stand for: arguments lie on the 68K stack
// from A7 upward in prototype order, big-endian, without alignment; byte-sized
// values take a 2-byte slot with the value in the slot's first byte, words a
// 2-byte slot, longs, pointers, handles and routines a 4-byte slot, a FloatType
// 8 bytes. Results go into the low byte, low word or whole of D0, or into A0
// for pointers and handles.
#pragma once
#include <array>
#include <cstddef>
#include <span>
#include <string_view>
#include "palm/PalmTypes.h"

enum class TrapArg : UInt8 {
  Byte,    // UInt8, Char, 8-bit enumerations: first byte of a 2-byte slot
  Int8,    // signed byte, first byte of a 2-byte slot
  Bool,    // Boolean, first byte of a 2-byte slot
  Word,    // UInt16, 16-bit enumerations, WChar
  Int16,   // Int16, Coord
  Long,    // UInt32, LocalID, four-character codes
  Int32,   // Int32
  Ptr,     // a 68K data pointer (structures, text, out-values)
  Handle,  // a MemHandle
  Proc,    // the 68K address of an application routine (called back through the bridge)
  Float,   // a FloatType by value, 8 bytes
};

enum class TrapResult : UInt8 {
  Void,    // no register written
  Byte,    // low byte of D0
  Int8,
  Bool,
  Word,    // low word of D0 (Err, UInt16, WChar)
  Int16,
  Long,    // all of D0
  Int32,
  Ptr,     // A0
  Handle,  // A0
  Float,   // FloatType written through the hidden result pointer at A7 + 0, A0 = that pointer
};

// Marshalling that differs from the plain convention (0 in a row: none).
enum TrapFlag : UInt16 {
  kTrapVarArgs = 1 << 0,       // further arguments follow the declared ones on the stack
  kTrapAlsoD0 = 1 << 1,        // a handle result goes into D0 as well as A0
  kTrapConstant = 1 << 2,      // no native call: the dispatcher writes a fixed result
  kTrapNoWrapper = 1 << 3,     // no SDK wrapper (an alias row or a routine without a public name)
  kTrapPopsWord = 1 << 4,      // the trap pops one word from the stack itself (0xA349's selector, 0xA46F)
};

// Where a manager dispatcher trap takes its selector from.
enum class SelectorSource : UInt8 {
  None,       // an ordinary trap
  D2Word,     // low word of D2
  D2Long,     // all of D2
  StackWord,  // the word at A7 + 0, before the arguments
};

constexpr std::size_t kMaxTrapArgs = 16;

struct SystemTrapRow {
  UInt16 trap;
  UInt16 selector;  // 0 for ordinary traps
  SelectorSource source;
  std::string_view name;
  TrapResult result;
  UInt16 flags;
  UInt8 argCount;
  std::array<TrapArg, kMaxTrapArgs> args;

  std::span<const TrapArg> arguments() const { return {args.data(), argCount}; }
};

struct TrapDispatcherRow {
  UInt16 trap;
  SelectorSource source;
  std::string_view manager;
};

std::span<const SystemTrapRow> SystemTrapRows();
std::span<const TrapDispatcherRow> TrapDispatcherRows();

// Bytes an argument takes on the stack.
constexpr std::size_t TrapArgSlotSize(TrapArg a) {
  switch (a) {
    case TrapArg::Byte: case TrapArg::Int8: case TrapArg::Bool: case TrapArg::Word: case TrapArg::Int16: return 2;
    case TrapArg::Float: return 8;
    default: return 4;
  }
}

// True for kinds read from the first byte of a 2-byte slot.
constexpr bool TrapArgIsByte(TrapArg a) { return a == TrapArg::Byte || a == TrapArg::Int8 || a == TrapArg::Bool; }

// True for results that go into A0 (a Float result's A0 is its buffer).
constexpr bool TrapResultInA0(TrapResult r) {
  return r == TrapResult::Ptr || r == TrapResult::Handle || r == TrapResult::Float;
}

// The row of an ordinary trap (selector ignored) or of a dispatcher trap's
// selector; null when the table has none.
const SystemTrapRow* FindSystemTrap(UInt16 trap, UInt16 selector = 0);

// Stack offsets of a row's arguments from A7; the hidden result pointer of a
// Float result and the selector word of a StackWord dispatcher come first.
std::size_t TrapArgOffset(const SystemTrapRow& row, std::size_t index);
std::size_t TrapFrameSize(const SystemTrapRow& row);

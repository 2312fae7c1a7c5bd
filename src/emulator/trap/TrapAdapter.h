// The typed adapter between a trap's stack frame and the native function
// that carries it out. The native function keeps its Palm prototype with host
// types; the adapter reads each argument from the frame by the function's
// parameter type, calls it and places the result where the trap's row in the
// system trap table says (low byte, low word or whole of D0, or A0).
//
// Pointers to 16- and 32-bit values and to pointers (out-values such as
// UInt16*, LocalID*, MemHandle*, DmOpenRef*) go through native temporaries:
// the big-endian value is read in before the call and written back after it,
// and only when the 68K pointer is not null. Other pointers (text, buffers,
// 68K structures) are passed as they are: the managers work on them in place.
#pragma once
#include <cstddef>
#include <tuple>
#include <type_traits>
#include <utility>
#include "emulator/float/FloatType.h"
#include "emulator/trap/TrapArgs.h"
#include "palm/Address.h"
#include "palm/Endian.h"
#include "palm/SystemTraps.h"

namespace trapadapter {

template <typename T>
constexpr bool isWordOrLongOrPointer() {
  if constexpr (std::is_pointer_v<T>) return true;
  else if constexpr (std::is_integral_v<T>) return sizeof(T) == 2 || sizeof(T) == 4;
  else return false;
}

// A pointer argument whose pointee the native side works on in host order.
template <typename P>
constexpr bool usesTemporary = std::is_pointer_v<P> && isWordOrLongOrPointer<std::remove_cv_t<std::remove_pointer_t<P>>>();

template <typename T>
T pointerFromEmu(EmuAddr a, const char* what) {
  if (a == 0) return nullptr;
  return reinterpret_cast<T>(trapMemory(a, 1, what));
}

// One argument of the native call: what it reads from the frame and, for
// out-values, what it writes back.
template <typename T, typename = void>
struct Arg;

template <typename T>
struct Arg<T, std::enable_if_t<std::is_integral_v<T> && sizeof(T) == 1>> {
  T value;
  Arg(TrapArgs& a, UInt32 offset, const char*) : value(static_cast<T>(a.getStackByte(offset))) {}
  T get() { return value; }
  void finish() {}
};

template <typename T>
struct Arg<T, std::enable_if_t<std::is_integral_v<T> && sizeof(T) == 2>> {
  T value;
  Arg(TrapArgs& a, UInt32 offset, const char*) : value(static_cast<T>(a.getStackWord(offset))) {}
  T get() { return value; }
  void finish() {}
};

template <typename T>
struct Arg<T, std::enable_if_t<std::is_integral_v<T> && sizeof(T) == 4>> {
  T value;
  Arg(TrapArgs& a, UInt32 offset, const char*) : value(static_cast<T>(a.getStackLong(offset))) {}
  T get() { return value; }
  void finish() {}
};

template <>
struct Arg<FloatType> {
  FloatType value;
  Arg(TrapArgs& a, UInt32 offset, const char*) : value(a.getStackFloatType(offset)) {}
  FloatType get() { return value; }
  void finish() {}
};

template <typename P>
struct Arg<P, std::enable_if_t<std::is_pointer_v<P> && !usesTemporary<P>>> {
  P value;
  Arg(TrapArgs& a, UInt32 offset, const char* what) : value(pointerFromEmu<P>(a.getStackAddr(offset), what)) {}
  P get() { return value; }
  void finish() {}
};

template <typename P>
struct Arg<P, std::enable_if_t<usesTemporary<P>>> {
  using V = std::remove_cv_t<std::remove_pointer_t<P>>;
  std::uint8_t* where = nullptr;
  V temporary{};
  const char* what;

  Arg(TrapArgs& a, UInt32 offset, const char* name) : what(name) {
    EmuAddr address = a.getStackAddr(offset);
    if (address == 0) return;
    constexpr UInt32 bytes = (std::is_pointer_v<V> || sizeof(V) == 4) ? 4 : 2;
    where = trapMemory(address, bytes, name);
    if constexpr (std::is_pointer_v<V>)
      // Pointer out-values are mostly uninitialised on entry: only an arena
      // address is taken as a value, anything else starts as null.
      temporary = Arena68K::inArena(get32(where)) ? static_cast<V>(fromEmu(get32(where))) : nullptr;
    else if constexpr (sizeof(V) == 4)
      temporary = static_cast<V>(get32(where));
    else
      temporary = static_cast<V>(get16(where));
  }
  P get() { return where ? &temporary : nullptr; }
  void finish() {
    if (!where) return;
    if constexpr (std::is_pointer_v<V>)
      set32(where, temporary ? toEmu(temporary) : 0);
    else if constexpr (sizeof(V) == 4)
      set32(where, static_cast<UInt32>(temporary));
    else
      set16(where, static_cast<UInt16>(temporary));
  }
};

// Whether a parameter type fits an argument kind of the table.
template <typename T>
constexpr bool fits(TrapArg kind) {
  using enum TrapArg;
  if constexpr (std::is_same_v<T, FloatType>) return kind == Float;
  else if constexpr (std::is_pointer_v<T>) return kind == Ptr;
  else if constexpr (std::is_integral_v<T> && sizeof(T) == 1) return kind == Byte || kind == Int8 || kind == Bool;
  else if constexpr (std::is_integral_v<T> && sizeof(T) == 2) return kind == Word || kind == Int16;
  else if constexpr (std::is_integral_v<T> && sizeof(T) == 4)
    return kind == Long || kind == Int32 || kind == Handle || kind == Proc || kind == Ptr;
  else return false;
}

template <typename R>
constexpr bool fitsResult(TrapResult kind) {
  using enum TrapResult;
  if constexpr (std::is_void_v<R>) return kind == Void;
  else if constexpr (std::is_pointer_v<R>) return kind == Ptr || kind == Handle;
  else if constexpr (std::is_integral_v<R> && sizeof(R) == 1) return kind == Byte || kind == Int8 || kind == Bool;
  else if constexpr (std::is_integral_v<R> && sizeof(R) == 2) return kind == Word || kind == Int16;
  else if constexpr (std::is_integral_v<R> && sizeof(R) == 4) return kind == Long || kind == Int32 || kind == Ptr || kind == Handle;
  else return false;
}

// Places a 32-bit result value as the row says.
void placeResult(TrapArgs& a, const SystemTrapRow& row, UInt32 value);

template <typename F>
struct Signature;

template <typename R, typename... P>
struct Signature<R (*)(P...)> {
  using Result = R;
  static constexpr std::size_t count = sizeof...(P);

  static bool matches(const SystemTrapRow& row) {
    if (row.argCount != count || !fitsResult<R>(row.result)) return false;
    std::size_t i = 0;
    return (fits<std::remove_cv_t<P>>(row.args[i++]) && ...);
  }

  template <auto F, std::size_t... I>
  static void call(TrapArgs& a, const SystemTrapRow& row, std::index_sequence<I...>) {
    std::tuple<Arg<std::remove_cv_t<P>>...> args{
        Arg<std::remove_cv_t<P>>(a, static_cast<UInt32>(TrapArgOffset(row, I)), row.name.data())...};
    if constexpr (std::is_void_v<R>) {
      F(std::get<I>(args).get()...);
      (std::get<I>(args).finish(), ...);
    } else {
      R result = F(std::get<I>(args).get()...);
      (std::get<I>(args).finish(), ...);
      if constexpr (std::is_pointer_v<R>)
        placeResult(a, row, result ? toEmu(result) : 0);
      else
        placeResult(a, row, static_cast<UInt32>(result));
    }
  }
};

}  // namespace trapadapter

using TrapServe = void (*)(TrapArgs& args, const SystemTrapRow& row);

// Binds trap (and selector) to its native function or hand-written handler.
struct TrapBinding {
  UInt16 trap;
  UInt16 selector;
  TrapServe serve;
  bool (*matches)(const SystemTrapRow& row);  // null for hand-written handlers
};

template <auto F>
void serveTrap(TrapArgs& a, const SystemTrapRow& row) {
  using S = trapadapter::Signature<decltype(F)>;
  S::template call<F>(a, row, std::make_index_sequence<S::count>{});
}

// A trap carried out by F through the adapter.
template <auto F>
constexpr TrapBinding bindTrap(UInt16 trap, UInt16 selector = 0) {
  return {trap, selector, &serveTrap<F>, &trapadapter::Signature<decltype(F)>::matches};
}

// A trap with marshalling of its own.
constexpr TrapBinding bindHandler(UInt16 trap, TrapServe serve, UInt16 selector = 0) {
  return {trap, selector, serve, nullptr};
}

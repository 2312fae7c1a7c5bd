#include "emulator/float/FloatTraps.h"
#include <array>
#include <cstring>
#include <tuple>
#include <type_traits>
#include "emulator/float/FloatEmulation.h"
#include "emulator/float/FloatingPoint.h"
#include "host/Reporting.h"
#include "palm/Endian.h"

namespace {
// Bytes an argument of type T takes on the 68K stack.
template <typename T>
constexpr UInt32 kSlotSize = sizeof(T) <= 2 ? 2 : sizeof(T) <= 4 ? 4 : 8;

// Results of 8 bytes go through the caller's result area.
template <typename R>
constexpr bool viaResultArea() {
  if constexpr (std::is_void_v<R>)
    return false;
  else
    return sizeof(R) == 8;
}

template <typename T>
T readArgument(const TrapArgs& args, UInt32 offset) {
  if constexpr (std::is_same_v<T, float>)
    return args.getStackFloat(offset);
  else if constexpr (std::is_same_v<T, double>)
    return args.getStackDouble(offset);
  else if constexpr (std::is_same_v<T, FloatType>)
    return args.getStackFloatType(offset);
  else if constexpr (sizeof(T) == 8)
    return static_cast<T>(args.getStackLongLong(offset));
  else if constexpr (sizeof(T) == 4)
    return static_cast<T>(args.getStackLong(offset));
  else
    return static_cast<T>(args.getStackWord(offset));
}

template <typename T>
T takeArgument(const TrapArgs& args, UInt32& offset) {
  T value = readArgument<T>(args, offset);
  offset += kSlotSize<T>;
  return value;
}

template <typename R>
void deliver(TrapArgs& args, R result) {
  if constexpr (std::is_same_v<R, float>)
    args.returnFloat(result);
  else if constexpr (std::is_same_v<R, double>)
    args.returnDouble(result);
  else if constexpr (std::is_same_v<R, FloatType>)
    args.returnFloatType(result);
  else if constexpr (sizeof(R) == 8)
    args.returnLongLong(static_cast<std::uint64_t>(result));
  else if constexpr (sizeof(R) == 4)
    args.setD0Long(static_cast<UInt32>(result));
  else
    args.setD0Word(result);
}

// Reads the routine's arguments in declaration order (from offset 4 when the
// result goes through the result area), calls it and delivers its result.
template <typename R, typename... A>
void callWithStackArguments(R (*routine)(A...), TrapArgs& args) {
  [[maybe_unused]] UInt32 offset = viaResultArea<R>() ? 4 : 0;
  // A braced list is evaluated left to right, so the offsets advance in order.
  std::tuple<A...> arguments{takeArgument<A>(args, offset)...};
  if constexpr (std::is_void_v<R>)
    std::apply(routine, arguments);
  else
    deliver(args, std::apply(routine, arguments));
}

template <auto Routine>
void serve(TrapArgs& args) {
  callWithStackArguments(Routine, args);
}

// Number at 0, text buffer pointer at 8; error word in D0.
template <typename Number, Err (*ToText)(Number, char*)>
void serveToText(TrapArgs& args) {
  char text[kFlpTextSize] = {};
  Err err = ToText(readArgument<Number>(args, 0), text);
  std::size_t length = std::strlen(text) + 1;
  std::memcpy(trapMemory(args.getStackAddr(8), static_cast<UInt32>(length), "text buffer"), text, length);
  args.setD0Word(err);
}

// Text pointer at 4; the number through the result area.
template <typename Number, Number (*FromText)(const char*)>
void serveFromText(TrapArgs& args) {
  deliver(args, FromText(trapString(args.getStackAddr(4), "number text")));
}

void writeOutput32(const TrapArgs& args, UInt32 offset, UInt32 value) {
  if (EmuAddr p = args.getStackAddr(offset)) set32(trapMemory(p, 4, "output argument"), value);
}

void writeOutput16(const TrapArgs& args, UInt32 offset, Int16 value) {
  if (EmuAddr p = args.getStackAddr(offset)) set16(trapMemory(p, 2, "output argument"), static_cast<UInt16>(value));
}

// Number at 0; mantissa, exponent and sign pointers at 8, 12 and 16, each
// written when not null (all 0 when the number has no decimal form).
template <typename Number, Err (*Base10Info)(Number, UInt32*, Int16*, Int16*)>
void serveBase10Info(TrapArgs& args) {
  UInt32 mantissa = 0;
  Int16 exponent = 0;
  Int16 sign = 0;
  Err err = Base10Info(readArgument<Number>(args, 0), &mantissa, &exponent, &sign);
  writeOutput32(args, 8, mantissa);
  writeOutput16(args, 12, exponent);
  writeOutput16(args, 16, sign);
  args.setD0Word(err);
}

using namespace FloatEmulation;

constexpr TrapHandler kFlpSelectors[] = {
    serveBase10Info<FlpDouble, FlpBase10Info>,
    serveToText<FlpDouble, FlpFToA>,
    serveFromText<FlpDouble, FlpAToF>,
    serve<FlpCorrectedAdd>,
    serve<FlpCorrectedSub>,
    serve<FlpVersion>,
};

constexpr TrapHandler kEmulationSelectors[] = {
    serve<_fp_round>, serve<_fp_get_fpscr>, serve<_fp_set_fpscr>,              // 0-2
    serve<_f_utof>, serve<_f_itof>, serve<_f_ulltof>, serve<_f_lltof>,         // 3-6
    serve<_d_utod>, serve<_d_itod>, serve<_d_ulltod>, serve<_d_lltod>,         // 7-10
    serve<_f_ftod>, serve<_d_dtof>,                                            // 11-12
    nullptr, nullptr, nullptr, nullptr,                                        // 13-16
    serve<_f_ftou>, serve<_f_ftoi>, serve<_f_ftoull>, serve<_f_ftoll>,         // 17-20
    serve<_d_dtou>, serve<_d_dtoi>, serve<_d_dtoull>, serve<_d_dtoll>,         // 21-24
    serve<_f_cmp>, serve<_f_cmpe>, serve<_f_feq>, serve<_f_fne>, serve<_f_flt>, // 25-29
    serve<_f_fle>, serve<_f_fgt>, serve<_f_fge>, serve<_f_fun>, serve<_f_for>, // 30-34
    serve<_d_cmp>, serve<_d_cmpe>, serve<_d_feq>, serve<_d_fne>, serve<_d_flt>, // 35-39
    serve<_d_fle>, serve<_d_fgt>, serve<_d_fge>, serve<_d_fun>, serve<_d_for>, // 40-44
    serve<_f_neg>, serve<_f_add>, serve<_f_mul>, serve<_f_sub>, serve<_f_div>, // 45-49
    serve<_d_neg>, serve<_d_add>, serve<_d_mul>, serve<_d_sub>, serve<_d_div>, // 50-54
};

template <std::size_t N>
void dispatch(const TrapHandler (&selectors)[N], TrapArgs& args) {
  UInt16 selector = args.getDataRegWord(2);
  QV_ASSERT(selector < N && selectors[selector] != nullptr);
  selectors[selector](args);
}

constexpr FloatTrap kFloatTraps[] = {
    {0xA0DF, "FplInit", serve<FplInit>},
    {0xA0E0, "FplFree", serve<FplFree>},
    {0xA0E1, "FplFToA", serveToText<FloatType, FplFToA>},
    {0xA0E2, "FplAToF", serveFromText<FloatType, FplAToF>},
    {0xA0E3, "FplBase10Info", serveBase10Info<FloatType, FplBase10Info>},
    {0xA0E4, "FplLongToFloat", serve<FplLongToFloat>},
    {0xA0E5, "FplFloatToLong", serve<FplFloatToLong>},
    {0xA0E6, "FplFloatToULong", serve<FplFloatToULong>},
    {0xA0E7, "FplMul", serve<FplMul>},
    {0xA0E8, "FplAdd", serve<FplAdd>},
    {0xA0E9, "FplSub", serve<FplSub>},
    {0xA0EA, "FplDiv", serve<FplDiv>},
    {0xA305, "FlpDispatch", FlpDispatch},
    {0xA306, "FlpEmDispatch", FlpEmDispatch},
};
}  // namespace

void FlpDispatch(TrapArgs& args) { dispatch(kFlpSelectors, args); }
void FlpEmDispatch(TrapArgs& args) { dispatch(kEmulationSelectors, args); }

std::span<const FloatTrap> floatTraps() { return kFloatTraps; }

#include "sdkgen/TrapWrappers.h"

#include <cstdio>
#include <sstream>

namespace {

const char* argType(TrapArg a) {
  switch (a) {
    case TrapArg::Byte:
      return "UInt8";
    case TrapArg::Int8:
      return "Int8";
    case TrapArg::Bool:
      return "Boolean";
    case TrapArg::Word:
      return "UInt16";
    case TrapArg::Int16:
      return "Int16";
    case TrapArg::Long:
      return "UInt32";
    case TrapArg::Int32:
      return "Int32";
    case TrapArg::Ptr:
      return "const void *";
    case TrapArg::Handle:
      return "MemHandle";
    case TrapArg::Proc:
      return "const void *";
    case TrapArg::Float:
      return "FloatType";
  }
  return "";
}

const char* resultType(TrapResult r) {
  switch (r) {
    case TrapResult::Void:
      return "void";
    case TrapResult::Byte:
      return "UInt8";
    case TrapResult::Int8:
      return "Int8";
    case TrapResult::Bool:
      return "Boolean";
    case TrapResult::Word:
      return "UInt16";
    case TrapResult::Int16:
      return "Int16";
    case TrapResult::Long:
      return "UInt32";
    case TrapResult::Int32:
      return "Int32";
    case TrapResult::Ptr:
      return "void *";
    case TrapResult::Handle:
      return "MemHandle";
    case TrapResult::Float:
      return "FloatType";
  }
  return "";
}

std::string argName(std::size_t i) {
  std::string name = "a";
  name += std::to_string(i);
  return name;
}

std::string hex4(unsigned v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "0x%04X", v);
  return buf;
}

// Statements that store the value `expr` of kind `a` at byte offset `at` of the frame.
std::string storeArg(TrapArg a, const std::string& expr, std::size_t at) {
  const std::string w = "_f[" + std::to_string(at / 2) + "]";
  const std::string w1 = "_f[" + std::to_string(at / 2 + 1) + "]";
  if (TrapArgIsByte(a)) return "  " + w + " = (UInt16)((UInt16)(UInt8)" + expr + " << 8);\n";
  switch (a) {
    case TrapArg::Word:
    case TrapArg::Int16:
      return "  " + w + " = (UInt16)" + expr + ";\n";
    case TrapArg::Float:
      return "  " + w + " = (UInt16)(" + expr + ".mantissa >> 16);\n  " + w1 + " = (UInt16)" + expr +
             ".mantissa;\n  _f[" + std::to_string(at / 2 + 2) + "] = (UInt16)" + expr + ".exponent;\n  _f[" +
             std::to_string(at / 2 + 3) + "] = (UInt16)((UInt16)(UInt8)" + expr + ".sign << 8);\n";
    default:
      return "  " + w + " = (UInt16)((UInt32)" + expr + " >> 16);\n  " + w1 + " = (UInt16)(UInt32)" + expr + ";\n";
  }
}

// Pushes the frame from its last byte down so that it lies on the stack as laid out.
std::string pushFrame(std::size_t size) {
  std::string s;
  std::size_t at = size;
  while (at >= 4) {
    at -= 4;
    s += "    \"move.l " + std::to_string(at) + "(%[f]),-(%%sp)\\n\\t\"\n";
  }
  if (at == 2) s += "    \"move.w 0(%[f]),-(%%sp)\\n\\t\"\n";
  return s;
}

std::string clobbers(const SystemTrapRow& row) {
  std::string s = "\"cc\", \"memory\", \"d1\", \"d2\", \"a1\"";
  // A Float result comes back through the caller's result area; the trap still sets A0 to it.
  if (row.result == TrapResult::Void || row.result == TrapResult::Float) return s + ", \"d0\", \"a0\"";
  return s + (TrapResultInA0(row.result) ? ", \"d0\"" : ", \"a0\"");
}

}  // namespace

std::string TrapWrapperFunction(const SystemTrapRow& row) {
  const std::size_t frame = TrapFrameSize(row);
  std::ostringstream out;
  out << "static __inline__ " << resultType(row.result) << " " << row.name << "(";
  for (std::size_t i = 0; i < row.argCount; ++i) out << (i ? ", " : "") << argType(row.args[i]) << " " << argName(i);
  out << (row.argCount == 0 ? "void" : "") << ") {\n";
  if (row.result == TrapResult::Float) out << "  FloatType _result;\n";
  if (frame > 0) out << "  UInt16 _f[" << frame / 2 << "];\n";
  if (row.result == TrapResult::Float) out << storeArg(TrapArg::Ptr, "&_result", 0);
  if (row.source == SelectorSource::StackWord)
    out << "  _f[" << (row.result == TrapResult::Float ? 2 : 0) << "] = " << row.selector << ";\n";
  for (std::size_t i = 0; i < row.argCount; ++i) out << storeArg(row.args[i], argName(i), TrapArgOffset(row, i));
  if (row.result != TrapResult::Void && row.result != TrapResult::Float)
    out << "  register " << (TrapResultInA0(row.result) ? "void *_r __asm__(\"a0\")" : "UInt32 _r __asm__(\"d0\")")
        << ";\n";
  out << "  __asm__ __volatile__(\n" << pushFrame(frame);
  if (row.source == SelectorSource::D2Word) out << "    \"move.w #" << row.selector << ",%%d2\\n\\t\"\n";
  if (row.source == SelectorSource::D2Long)
    out << "    \"" << (row.selector < 128 ? "moveq" : "move.l") << " #" << row.selector << ",%%d2\\n\\t\"\n";
  out << "    \"trap #15\\n\\t\"\n    \".short " << hex4(row.trap) << "\\n\\t\"\n";
  const std::size_t pop = frame - ((row.flags & kTrapPopsWord) ? 2 : 0);
  if (pop > 0) out << "    \"lea " << pop << "(%%sp),%%sp\\n\\t\"\n";
  out << "    : " << (row.result == TrapResult::Void || row.result == TrapResult::Float ? "" : "\"=r\"(_r)") << "\n";
  out << "    : " << (frame > 0 ? "[f] \"a\"(_f)" : "") << "\n";
  out << "    : " << clobbers(row) << ");\n";
  if (row.result == TrapResult::Float)
    out << "  return _result;\n";
  else if (row.result != TrapResult::Void)
    out << "  return (" << resultType(row.result) << ")_r;\n";
  out << "}\n";
  return out.str();
}

bool HasTrapWrapper(const SystemTrapRow& row) {
  return (row.flags & (kTrapNoWrapper | kTrapConstant | kTrapVarArgs)) == 0;
}

std::string TrapWrapperHeader() {
  std::ostringstream out;
  out << "/* Generated by quorvane-trapgen from the table of system traps. Do not edit. */\n"
         "#ifndef QUORVANE_PALM_TRAPS_H\n#define QUORVANE_PALM_TRAPS_H\n\n#include \"PalmTypes.h\"\n\n";
  for (const SystemTrapRow& row : SystemTrapRows()) {
    if (HasTrapWrapper(row)) out << TrapWrapperFunction(row) << "\n";
  }
  out << "#endif\n";
  return out.str();
}

std::string TrapWrapperCallsProgram() {
  std::ostringstream declarations, main, calls;
  for (const SystemTrapRow& row : SystemTrapRows()) {
    if (!HasTrapWrapper(row)) continue;
    declarations << "void Call" << row.name << "(void);\n";
    main << "  Call" << row.name << "();\n";
    calls << "void Call" << row.name << "(void) {\n";
    for (std::size_t i = 0; i < row.argCount; ++i)
      if (row.args[i] == TrapArg::Float) calls << "  FloatType f" << i << " = {0x80000000UL, -31, 1, 0};\n";
    calls << "  " << (row.result == TrapResult::Void ? "" : "(void)") << row.name << "(";
    for (std::size_t i = 0; i < row.argCount; ++i) {
      calls << (i ? ", " : "");
      if (row.args[i] == TrapArg::Float)
        calls << "f" << i;
      else
        calls << "(" << argType(row.args[i]) << ")" << (i + 1);
    }
    calls << ");\n}\n\n";
  }
  return "/* Generated by quorvane-trapgen: calls every trap wrapper once. */\n#include \"PalmOS.h\"\n\n" +
         declarations.str() +
         "\n/* First in the file, so that the start-up code's 16-bit branch reaches it;\n"
         "   the calls go through the GOT and reach any distance. */\n"
         "UInt32 PilotMain(UInt16 cmd, MemPtr cmdPBP, UInt16 launchFlags) {\n"
         "  (void)cmdPBP;\n  (void)launchFlags;\n  if (cmd != sysAppLaunchCmdNormalLaunch) return 0;\n" +
         main.str() + "  return 1;\n}\n\n" + calls.str();
}

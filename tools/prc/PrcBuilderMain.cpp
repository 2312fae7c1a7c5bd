// quorvane-prc: builds a Palm application database from a linked ELF file.
//
//   quorvane-prc -o OUT.prc --name NAME --type TYPE --creator CRID
//                [--version N] [--stack BYTES] [--resource TYPE ID FILE]... APP.elf
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>
#include "prc/CoreOpcodes.h"
#include "prc/PrcBuilder.h"

namespace {

constexpr UInt32 kPalmEpochOffset = 2082844800;  // seconds from 1904 to 1970

[[noreturn]] void usage(const char* problem) {
  std::fprintf(stderr,
               "quorvane-prc: %s\nusage: quorvane-prc -o OUT.prc --name NAME --type TYPE --creator CRID "
               "[--version N] [--stack BYTES] [--resource TYPE ID FILE]... APP.elf\n",
               problem);
  std::exit(2);
}

UInt32 fourCharCode(const char* s) {
  if (std::strlen(s) != 4) usage("type and creator codes have four characters");
  return (UInt32(UInt8(s[0])) << 24) | (UInt32(UInt8(s[1])) << 16) | (UInt32(UInt8(s[2])) << 8) | UInt8(s[3]);
}

unsigned long number(const char* s, unsigned long max) {
  char* end = nullptr;
  const unsigned long v = std::strtoul(s, &end, 0);
  if (!*s || *end || v > max) usage("bad number");
  return v;
}

// Reproducible builds: SOURCE_DATE_EPOCH fixes the database dates.
UInt32 palmDate() {
  const char* fixed = std::getenv("SOURCE_DATE_EPOCH");
  const unsigned long unixTime = fixed ? std::strtoul(fixed, nullptr, 10) : static_cast<unsigned long>(std::time(nullptr));
  return static_cast<UInt32>(unixTime + kPalmEpochOffset);
}

}  // namespace

int main(int argc, char** argv) {
  PrcBuildOptions options;
  options.date = palmDate();
  std::string output;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto next = [&]() -> const char* {
      if (i + 1 >= argc) usage(("missing value after " + arg).c_str());
      return argv[++i];
    };
    if (arg == "-o") output = next();
    else if (arg == "--name") options.name = next();
    else if (arg == "--type") options.type = fourCharCode(next());
    else if (arg == "--creator") options.creator = fourCharCode(next());
    else if (arg == "--version") options.version = static_cast<UInt16>(number(next(), 0xFFFF));
    else if (arg == "--stack") options.stackSize = static_cast<UInt32>(number(next(), 0xFFFFFFFF));
    else if (arg == "--resource") {
      const UInt32 type = fourCharCode(next());
      const UInt16 id = static_cast<UInt16>(number(next(), 0xFFFF));
      options.resources.push_back({type, id, next()});
    } else if (!arg.empty() && arg[0] == '-') usage(("unknown option " + arg).c_str());
    else options.elfPath = arg;
  }
  if (output.empty() || options.name.empty() || !options.type || !options.creator || options.elfPath.empty())
    usage("-o, --name, --type, --creator and the ELF file are required");

  PdbDatabase db;
  std::vector<UInt8> image;
  std::string error;
  if (!BuildPrc(options, CoreServesOpcode, db, error) || !WritePdbImage(db, image, error)) {
    std::fprintf(stderr, "quorvane-prc: %s\n", error.c_str());
    return 1;
  }
  std::ofstream out(output, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "quorvane-prc: cannot write %s\n", output.c_str());
    std::remove(output.c_str());
    return 1;
  }
  return 0;
}

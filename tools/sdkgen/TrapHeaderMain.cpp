// quorvane-trapgen HEADER [CALLS.c]: writes the SDK's trap-wrapper header and,
// when asked, a program that calls every wrapper.
#include <cstdio>
#include <fstream>
#include "sdkgen/TrapWrappers.h"

namespace {

bool writeFile(const char* path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out) std::fprintf(stderr, "quorvane-trapgen: cannot write %s\n", path);
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: quorvane-trapgen HEADER.h [CALLS.c]\n");
    return 2;
  }
  if (!writeFile(argv[1], TrapWrapperHeader())) return 1;
  if (argc == 3 && !writeFile(argv[2], TrapWrapperCallsProgram())) return 1;
  return 0;
}

// quorvane-trapgen OUTPUT: writes the SDK's trap-wrapper header.
#include <cstdio>
#include <fstream>
#include "sdkgen/TrapWrappers.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: quorvane-trapgen OUTPUT.h\n");
    return 2;
  }
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  out << TrapWrapperHeader();
  if (!out) {
    std::fprintf(stderr, "quorvane-trapgen: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}

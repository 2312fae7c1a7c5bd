// Locates what the build made for the tests: the Palm applications and
// programs that apps/ links with the m68k cross-compiler. A missing file is a
// failure with a clear message.
#pragma once
#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>
#include "palm/PalmTypes.h"

inline std::filesystem::path PalmAppsPath(const std::string& relative) {
  std::filesystem::path p = std::filesystem::path(QUORVANE_TEST_BINARY_DIR) / ".." / "apps" / relative;
  if (!std::filesystem::exists(p)) {
    ADD_FAILURE() << "Palm build output not found: " << p.string()
                  << " (apps/ builds it with m68k-linux-gnu-gcc; run the full build first)";
  }
  return p;
}

inline std::vector<UInt8> ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

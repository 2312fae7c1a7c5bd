// Locates the shared test material beside the repository. A missing folder is
// a failure with a clear message, never a silent skip.
#pragma once
#include <gtest/gtest.h>
#include <filesystem>
#include <string>

inline std::filesystem::path SharedDataPath(const std::string& relative) {
  std::filesystem::path p = std::filesystem::path(QUORVANE_SHARED_DIR) / relative;
  if (!std::filesystem::exists(p)) {
    ADD_FAILURE() << "Shared test material not found: " << p.string()
                  << " (expected ../shared beside the repository)";
  }
  return p;
}

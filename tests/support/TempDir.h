// A fresh folder for one test, removed afterwards.
#pragma once
#include <unistd.h>
#include <cstdlib>
#include <filesystem>
#include <string>

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quorvane-test-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& path() const { return path_; }
  std::string withSlash() const { return path_.string() + "/"; }

 private:
  std::filesystem::path path_;
};

// Points QUORVANE_HOME at a fresh folder for one test.
class TempHome {
 public:
  TempHome() {
    const char* old = std::getenv("QUORVANE_HOME");
    hadOld_ = old != nullptr;
    if (hadOld_) old_ = old;
    setenv("QUORVANE_HOME", dir_.path().c_str(), 1);
  }
  ~TempHome() {
    if (hadOld_)
      setenv("QUORVANE_HOME", old_.c_str(), 1);
    else
      unsetenv("QUORVANE_HOME");
  }
  std::string documents() const { return dir_.withSlash(); }
  const std::filesystem::path& path() const { return dir_.path(); }

 private:
  TempDir dir_;
  bool hadOld_ = false;
  std::string old_;
};

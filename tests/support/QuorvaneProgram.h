// Runs the quorvane program that the build made, as a user would, in a home
// folder of the test's own, and collects its exit status and its output
// (standard output and standard error together).
#pragma once
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "support/PalmApps.h"

struct ProgramRun {
  int status = -1;  // exit status; -1 when the program did not exit normally
  std::string output;
};

inline std::filesystem::path QuorvaneProgramPath() {
  std::filesystem::path p = std::filesystem::path(QUORVANE_TEST_BINARY_DIR) / ".." / "bin" / "quorvane";
  if (!std::filesystem::exists(p)) ADD_FAILURE() << "quorvane program not found: " << p.string();
  return p;
}

inline std::string ShellQuoted(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

inline ProgramRun RunQuorvane(const std::filesystem::path& home, const std::vector<std::string>& args) {
  std::string command = ShellQuoted(QuorvaneProgramPath().string()) + " --home " + ShellQuoted(home.string());
  for (const std::string& a : args) command += " " + ShellQuoted(a);
  command += " 2>&1";
  ProgramRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) {
    ADD_FAILURE() << "cannot run " << command;
    return run;
  }
  char buffer[4096];
  while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) run.output.append(buffer, n);
  int raw = pclose(pipe);
  if (raw != -1 && WIFEXITED(raw)) run.status = WEXITSTATUS(raw);
  return run;
}

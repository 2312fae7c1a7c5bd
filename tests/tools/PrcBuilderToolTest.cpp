// quorvane-prc as the build runs it: a refused program leaves no .prc behind
// and fails with its reason; bad usage fails with status 2.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "support/PalmApps.h"

namespace {

struct ToolRun {
  int status = -1;
  std::string output;
};

ToolRun runTool(const std::string& arguments) {
  const std::string tool = (std::filesystem::path(QUORVANE_TEST_BINARY_DIR) / ".." / "bin" / "quorvane-prc").string();
  ToolRun run;
  FILE* pipe = popen(("'" + tool + "' " + arguments + " 2>&1").c_str(), "r");
  if (!pipe) return run;
  for (int c; (c = std::fgetc(pipe)) != EOF;) run.output += static_cast<char>(c);
  const int raw = pclose(pipe);
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return run;
}

// One output file per test: ctest runs the tests in parallel.
std::filesystem::path outputFor(const char* test) {
  return std::filesystem::path(QUORVANE_TEST_BINARY_DIR) / (std::string("tool-test-") + test + ".prc");
}

TEST(PrcBuilderTool, RefusedProgramLeavesNoDatabase) {
  const std::filesystem::path output = outputFor("refused");
  std::filesystem::remove(output);
  const ToolRun run = runTool("-o '" + output.string() + "' --name Broken --type appl --creator QvBr '" +
                              PalmAppsPath("broken/Uses68020.elf").string() + "'");
  EXPECT_EQ(run.status, 1) << run.output;
  EXPECT_NE(run.output.find("not a 68000 instruction"), std::string::npos) << run.output;
  EXPECT_FALSE(std::filesystem::exists(output));
}

TEST(PrcBuilderTool, BuildsWithRawResourcesAndRefusesDuplicates) {
  const std::filesystem::path output = outputFor("resources");
  const std::string elf = PalmAppsPath("StartupProbe.elf").string();
  const std::string greeting = std::string(QUORVANE_SOURCE_DIR) + "/apps/tests/Greeting.txt";
  const std::string base = "-o '" + output.string() + "' --name Probe --type appl --creator QvSp --stack 8192 ";
  ToolRun run = runTool(base + "--resource tSTR 1 '" + greeting + "' '" + elf + "'");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_TRUE(std::filesystem::exists(output));
  std::filesystem::remove(output);

  run = runTool(base + "--resource code 1 '" + greeting + "' '" + elf + "'");
  EXPECT_EQ(run.status, 1) << run.output;
  EXPECT_NE(run.output.find("duplicates"), std::string::npos) << run.output;
  EXPECT_FALSE(std::filesystem::exists(output));
}

TEST(PrcBuilderTool, BadUsageFailsWithStatusTwo) {
  EXPECT_EQ(runTool("--name X").status, 2);
  EXPECT_EQ(runTool("-o x.prc --name X --type toolong --creator QvXx app.elf").status, 2);
  EXPECT_EQ(runTool("-o x.prc --name X --type appl --creator QvXx --version 70000 app.elf").status, 2);
}

}  // namespace

// Test entry point: brings up what every suite relies on (the 68K arena and
// the fault handler) before any test runs.
#include <gtest/gtest.h>
#include "host/Startup.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  // Death tests fork; "threadsafe" re-executes so each child starts clean.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  HostStartup(argc > 0 ? argv[0] : nullptr);
  return RUN_ALL_TESTS();
}

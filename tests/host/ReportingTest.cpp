#include <gtest/gtest.h>
#include <string>
#include <thread>
#include "host/Reporting.h"
#include "host/Threads.h"
#include "support/RecordingBackend.h"

namespace {

struct PalmAlertLog {
  static inline std::vector<std::pair<UInt16, std::string>> shown;
  static inline UInt16 button = 0;
  static UInt16 show(UInt16 id, const char* s1, const char*, const char*) {
    shown.emplace_back(id, s1);
    // A warning raised while the alert is up is nested: it must go to the host.
    WarningF("nested while %u is up", id);
    return button;
  }
};

class ReportingOnAppThread : public testing::Test {
 protected:
  void SetUp() override {
    PalmAlertLog::shown.clear();
    setPalmCustomAlertProc(PalmAlertLog::show);
    markCurrentThreadAsAppThread(true);
  }
  void TearDown() override {
    markCurrentThreadAsAppThread(false);
    setPalmCustomAlertProc(nullptr);
    MessageNestingLevel = 0;
  }
};

TEST_F(ReportingOnAppThread, WarningsAndErrorsBecomePalmAlertsNestedOnesHostAlerts) {
  RecordedAlerts host;
  WarningF("disk %d", 1);
  ErrorF("bad %s", "thing");
  ASSERT_EQ(PalmAlertLog::shown.size(), 2u);
  EXPECT_EQ(PalmAlertLog::shown[0], std::make_pair(UInt16(10024), std::string("disk 1")));
  EXPECT_EQ(PalmAlertLog::shown[1], std::make_pair(UInt16(10021), std::string("bad thing")));
  auto alerts = host.alerts();
  ASSERT_EQ(alerts.size(), 2u);
  EXPECT_EQ(alerts[0].first, "Quorvane Warning");
  EXPECT_EQ(alerts[0].second, "nested while 10024 is up");
  EXPECT_EQ(MessageNestingLevel, 0);
}

TEST_F(ReportingOnAppThread, DuringStartUpMessagesGoToHostAlerts) {
  RecordedAlerts host;
  MessageNestingLevel = 2;
  WarningF("starting");
  EXPECT_TRUE(PalmAlertLog::shown.empty());
  ASSERT_EQ(host.alerts().size(), 1u);
  EXPECT_EQ(host.alerts()[0], std::make_pair(std::string("Quorvane Warning"), std::string("starting")));
}

TEST(Reporting, OtherThreadsUseHostAlertsAndLongMessagesAreCutAt511) {
  RecordedAlerts host;
  std::string longText(700, 'x');
  std::thread([&] { ErrorF("%s", longText.c_str()); }).join();
  ASSERT_EQ(host.alerts().size(), 1u);
  EXPECT_EQ(host.alerts()[0].first, "Quorvane Error");
  EXPECT_EQ(host.alerts()[0].second, std::string(511, 'x'));
}

TEST(Reporting, HostAlertsShowLatin1Text) {
  RecordedAlerts host;
  WarningF("caf\xE9");
  EXPECT_EQ(host.alerts().at(0).second, "caf\xC3\xA9");
}

TEST(Reporting, FilenameOnly) {
  struct Case {
    const char* path;
    const char* name;
  } cases[] = {{"/a/b/c.cpp", "c.cpp"}, {"C:\\src\\x.c", "x.c"}, {"dir/sub\\y.c", "y.c"}, {"bare.c", "bare.c"}, {"", ""}};
  for (const Case& c : cases) EXPECT_STREQ(filenameOnly(c.path), c.name) << c.path;
}

TEST(Reporting, UInt32ToCharWritesFourCharactersAndNul) {
  char buf[8];
  memset(buf, '#', sizeof buf);
  EXPECT_EQ(UInt32ToChar(buf, 0x6170706C), buf);
  EXPECT_STREQ(buf, "appl");
}

TEST(Reporting, ValidateNewPtrPassesNonNull) {
  int x = 0;
  ValidateNewPtr(__FILE__, __LINE__, &x);
  SUCCEED();
}

using ReportingDeathTest = testing::Test;

TEST_F(ReportingDeathTest, ValidateNewPtrOfNullEndsWithOutOfMemory) {
  EXPECT_EXIT(ValidateNewPtr("/some/dir/alloc.cpp", 42, nullptr), testing::ExitedWithCode(1),
              "Quorvane Fatal Error: Out of memory detected at alloc.cpp \\(42\\)");
}

TEST_F(ReportingDeathTest, AssertionFormNamesFileAndLine) {
  EXPECT_EXIT(QV_ASSERT(1 + 1 == 3), testing::ExitedWithCode(1), "assert\\(\\) failed \\(ReportingTest.cpp.[0-9]+\\)");
}

TEST_F(ReportingDeathTest, ErrDisplayButtonZeroEndsQuietly) {
  EXPECT_EXIT(
      {
        setPalmCustomAlertProc([](UInt16, const char*, const char*, const char*) -> UInt16 { return 0; });
        markCurrentThreadAsAppThread(true);
        ErrDisplayFileLineMsg("Form.c", 12, "broken");
      },
      testing::ExitedWithCode(1), "^$");
}

TEST_F(ReportingDeathTest, ErrDisplayWithoutPalmAlertIsFatal) {
  EXPECT_EXIT(ErrDisplayFileLineMsg("Form.c", 12, "broken"), testing::ExitedWithCode(1),
              "Quorvane Fatal Error: broken \\(Form.c 12\\)");
}

}  // namespace

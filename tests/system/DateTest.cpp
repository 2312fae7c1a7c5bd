// Seconds since 1904 and the broken-down date and time.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "storage/StorageSeams.h"
#include "system/Date.h"
#include "system/SystemTime.h"

namespace {
constexpr UInt32 kSecondsFrom1904To1970 = 2082844800u;

DateTimeType at(Int16 day, Int16 month, Int16 year, Int16 hour = 0, Int16 minute = 0, Int16 second = 0) {
  return {second, minute, hour, day, month, year, 0};
}

TEST(Date, SecondsAndDatesConvertBothWays) {
  struct Case {
    UInt32 seconds;
    DateTimeType dt;
  } cases[] = {
      {0, {0, 0, 0, 1, 1, 1904, 5}},
      {86400 * 366 - 1, {59, 59, 23, 31, 12, 1904, 6}},  // 1904 is a leap year
      {kSecondsFrom1904To1970, {0, 0, 0, 1, 1, 1970, 4}},
      {3034672496u, {56, 34, 12, 29, 2, 2000, 2}},
      {3186000000u, {0, 0, 0, 16, 12, 2004, 4}},
      {0xFFFFFFFFu, {15, 28, 6, 6, 2, 2040, 1}},
  };
  for (const Case& c : cases) {
    DateTimeType dt{};
    TimSecondsToDateTime(c.seconds, &dt);
    EXPECT_EQ(dt.second, c.dt.second) << c.seconds;
    EXPECT_EQ(dt.minute, c.dt.minute) << c.seconds;
    EXPECT_EQ(dt.hour, c.dt.hour) << c.seconds;
    EXPECT_EQ(dt.day, c.dt.day) << c.seconds;
    EXPECT_EQ(dt.month, c.dt.month) << c.seconds;
    EXPECT_EQ(dt.year, c.dt.year) << c.seconds;
    EXPECT_EQ(dt.weekDay, c.dt.weekDay) << c.seconds;
    EXPECT_EQ(TimDateTimeToSeconds(&c.dt), c.seconds);
  }
}

TEST(Date, OutOfRangeFieldsAreHandledWithoutReadingOutsideTheTables) {
  DateTimeType thirteenth = at(1, 13, 2003), january = at(1, 1, 2004);
  EXPECT_EQ(TimDateTimeToSeconds(&thirteenth), TimDateTimeToSeconds(&january));
  DateTimeType before = at(31, 12, 1903, 12);
  EXPECT_EQ(TimDateTimeToSeconds(&before), 12u * 3600);  // years before 1904 are day 0
  DateTimeType monthZero = at(5, 0, 2001), jan5 = at(5, 1, 2001);
  EXPECT_EQ(TimDateTimeToSeconds(&monthZero), TimDateTimeToSeconds(&jan5));
}

TEST(Date, TimAdjustCrossesMonthsAndYears) {
  DateTimeType dt = at(31, 12, 1999, 23, 59, 30);
  TimAdjust(&dt, 45);
  EXPECT_EQ(dt.year, 2000);
  EXPECT_EQ(dt.month, 1);
  EXPECT_EQ(dt.day, 1);
  EXPECT_EQ(dt.second, 15);
  EXPECT_EQ(dt.weekDay, 6);
  TimAdjust(&dt, -86400);
  EXPECT_EQ(dt.year, 1999);
  EXPECT_EQ(dt.day, 31);
}

TEST(Date, DayOfWeek) {
  EXPECT_EQ(DayOfWeek(1, 1, 1904), 5);
  EXPECT_EQ(DayOfWeek(3, 29, 2010), 1);
  EXPECT_EQ(DayOfWeek(2, 29, 2000), 2);
  EXPECT_EQ(DayOfWeek(12, 25, 2009), 5);
}

// The clock is the host's local time, counted from 1904.
TEST(SystemTime, SecondsAreLocalTimeSince1904) {
  std::time_t before = std::time(nullptr);
  UInt32 seconds = TimGetSeconds();
  std::time_t after = std::time(nullptr);
  auto palm = [](std::time_t t) {
    std::tm local{};
    localtime_r(&t, &local);
    return static_cast<UInt32>(timegm(&local)) + kSecondsFrom1904To1970;
  };
  EXPECT_GE(seconds, palm(before));
  EXPECT_LE(seconds, palm(after));
  EXPECT_EQ(SysTicksPerSecond(), 100);
  UInt32 ticks = TimGetTicks();
  EXPECT_LE(ticks, 1677721599u);
}

TEST(SystemTime, TaskDelaysInTicks) {
  struct Case {
    Int32 ticks;
    std::uint64_t microseconds;
  } cases[] = {{0, 5000}, {-1, 1000}, {-7, 5000}, {1, 10000}, {99, 990000}, {250, 2500000}};
  for (const Case& c : cases) EXPECT_EQ(TaskDelayMicroseconds(c.ticks), c.microseconds) << c.ticks;
}

}  // namespace

namespace {
// Under a zone far from UTC, so that local time and UTC differ.
TEST(SystemTime, BecomesTheStorageManagersClock) {
  const char* zone = std::getenv("TZ");
  std::string saved = zone ? zone : "";
  setenv("TZ", "IST-5:30", 1);
  tzset();
  resetStorageSeams();
  ASSERT_TRUE(SystemTimeInit());
  UInt32 before = TimGetSeconds();
  UInt32 seen = storageSeams().seconds();
  EXPECT_GE(seen, before);
  EXPECT_LE(seen, TimGetSeconds());
  resetStorageSeams();
  if (zone)
    setenv("TZ", saved.c_str(), 1);
  else
    unsetenv("TZ");
  tzset();
}
}  // namespace

#include "system/Date.h"

#include <cstdint>

#include "host/Reporting.h"
#include "palm/Endian.h"

namespace {
constexpr UInt32 kSecondsPerDay = 86400;
constexpr UInt16 kDaysBeforeMonth[2][13] = {
    {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365},
    {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366},
};

bool leapYear(Int32 y) { return y % 4 == 0 && (y % 100 != 0 || y % 400 == 0); }

void daysToDMY(UInt32 days, Int16* dayP, Int16* monthP, Int16* yearP) {
  Int32 year = 1904;
  while (days >= (leapYear(year) ? 366u : 365u)) days -= leapYear(year++) ? 366 : 365;
  const UInt16* before = kDaysBeforeMonth[leapYear(year)];
  Int16 month = 1;
  while (days >= before[month]) ++month;
  *dayP = static_cast<Int16>(days - before[month - 1] + 1);
  *monthP = month;
  *yearP = static_cast<Int16>(year);
}

// A month of 13 or more carries into the year; a month below 1 counts as
// January rather than reading outside the month table.
std::int64_t dmyToDays(Int32 day, Int32 month, Int32 year) {
  while (month >= 13) {
    ++year;
    month -= 12;
  }
  if (month < 1) month = 1;
  if (year <= 1903) return 0;
  return 365LL * year + (year - 1901) / 4 - 694960 - (year - 1901) / 100 + (year - 1601) / 400 +
         kDaysBeforeMonth[leapYear(year)][month - 1] + day - 1;
}
}  // namespace

DateTimeType readDateTime68K(const void* p) {
  const auto* b = static_cast<const UInt8*>(p);
  auto at = [&](int i) { return static_cast<Int16>(get16(b + 2 * i)); };
  return {at(0), at(1), at(2), at(3), at(4), at(5), at(6)};
}

void writeDateTime68K(void* p, const DateTimeType& dt) {
  auto* b = static_cast<UInt8*>(p);
  const Int16 fields[7] = {dt.second, dt.minute, dt.hour, dt.day, dt.month, dt.year, dt.weekDay};
  for (int i = 0; i < 7; ++i) set16(b + 2 * i, static_cast<UInt16>(fields[i]));
}

Int16 DayOfWeek(Int16 month, Int16 day, Int16 year) {
  Int32 a = (14 - month) / 12;
  Int32 y = year - a;
  Int32 m = month + 12 * a - 2;
  return static_cast<Int16>((day + y + y / 4 - y / 100 + y / 400 + 31 * m / 12) % 7);
}

void TimSecondsToDateTime(UInt32 seconds, DateTimeType* dt) {
  daysToDMY(seconds / kSecondsPerDay, &dt->day, &dt->month, &dt->year);
  dt->weekDay = DayOfWeek(dt->month, dt->day, dt->year);
  UInt32 r = seconds % kSecondsPerDay;
  dt->hour = static_cast<Int16>(r / 3600);
  dt->minute = static_cast<Int16>(r % 3600 / 60);
  dt->second = static_cast<Int16>(r % 60);
}

UInt32 TimDateTimeToSeconds(const DateTimeType* dt) {
  std::int64_t s =
      dmyToDays(dt->day, dt->month, dt->year) * kSecondsPerDay + dt->hour * 3600LL + dt->minute * 60LL + dt->second;
  return static_cast<UInt32>(s);
}

void TimAdjust(DateTimeType* dt, Int32 adjustment) {
  QV_ASSERT(dt->year >= 1904);
  UInt32 seconds = TimDateTimeToSeconds(dt);
  QV_ASSERT(adjustment >= 0 || static_cast<UInt32>(-static_cast<std::int64_t>(adjustment)) <= seconds);
  TimSecondsToDateTime(static_cast<UInt32>(seconds + static_cast<std::int64_t>(adjustment)), dt);
}

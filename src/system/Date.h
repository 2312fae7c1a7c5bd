// Dates and times counted in seconds from 1 January 1904 00:00 (Friday),
// and their broken-down form.
#pragma once
#include "palm/PalmTypes.h"

// DateTimeType in host order; applications see seven big-endian words in
// this order (second first).
struct DateTimeType {
  Int16 second;
  Int16 minute;
  Int16 hour;
  Int16 day;
  Int16 month;    // 1-12
  Int16 year;     // full year
  Int16 weekDay;  // 0 Sunday to 6 Saturday
};
constexpr UInt32 kDateTimeTypeSize = 14;
DateTimeType readDateTime68K(const void* p);
void writeDateTime68K(void* p, const DateTimeType& dt);

void TimSecondsToDateTime(UInt32 seconds, DateTimeType* dateTimeP);
// The weekday is not looked at. Years before 1904 count as day 0.
UInt32 TimDateTimeToSeconds(const DateTimeType* dateTimeP);
void TimAdjust(DateTimeType* dateTimeP, Int32 adjustment);
// 0 Sunday to 6 Saturday.
Int16 DayOfWeek(Int16 month, Int16 day, Int16 year);

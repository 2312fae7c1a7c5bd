#include "system/SystemTime.h"

#include <sys/time.h>

#include <atomic>
#include <ctime>
#include <thread>

#include "host/Reporting.h"
#include "storage/StorageSeams.h"
#include "system/Date.h"

UInt32 TimGetSeconds() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  DateTimeType midnight{0,
                        0,
                        0,
                        static_cast<Int16>(local.tm_mday),
                        static_cast<Int16>(local.tm_mon + 1),
                        static_cast<Int16>(local.tm_year + 1900),
                        static_cast<Int16>(local.tm_wday)};
  return TimDateTimeToSeconds(&midnight) + static_cast<UInt32>(local.tm_sec % 60) +
         static_cast<UInt32>(local.tm_min + local.tm_hour * 60) * 60;
}

void TimSetSeconds(UInt32) {}

// Sound threads read the clock too. Restarts at 0 whenever the host's second count passes a multiple of 2^24.
UInt32 TimGetTicks() {
  static std::atomic<UInt32> last{0};
  timeval tv{};
  if (gettimeofday(&tv, nullptr) != 0) {
    WarningF("gettimeofday failed");
    return last;
  }
  UInt32 ticks = static_cast<UInt32>(tv.tv_sec & 0xFFFFFF) * kTicksPerSecond + static_cast<UInt32>(tv.tv_usec / 10000);
  last = ticks;
  return ticks;
}

UInt16 SysTicksPerSecond() { return kTicksPerSecond; }

std::uint64_t TaskDelayMicroseconds(Int32 delay) {
  if (delay == -1) return 1000;
  if (delay <= 0) return 5000;
  constexpr std::uint64_t kMicrosecondsPerTick = 1000000 / kTicksPerSecond;
  return static_cast<std::uint64_t>(delay / kTicksPerSecond) * 1000000 +
         static_cast<std::uint64_t>(delay % kTicksPerSecond) * kMicrosecondsPerTick;
}

Err SysTaskDelay(Int32 delay) {
  std::this_thread::sleep_for(std::chrono::microseconds(TaskDelayMicroseconds(delay)));
  return errNone;
}

Boolean SystemTimeInit() {
  StorageSeams seams{};
  seams.seconds = TimGetSeconds;
  setStorageSeams(seams);
  return true;
}

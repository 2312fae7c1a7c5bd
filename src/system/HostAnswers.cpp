#include "system/HostAnswers.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace {
namespace fs = std::filesystem;

std::string firstLine(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  std::getline(in, line);
  return line;
}

UInt16 autoOffTime = 0xFFFF;
}  // namespace

// Linux power-supply classes: a battery with its capacity and status, mains
// that are online. A machine without a battery runs on mains, full.
HostBattery hostBattery() {
  HostBattery b{1.0f, true};
  bool mainsOnline = false, batteryFound = false, charging = false;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator("/sys/class/power_supply", ec)) {
    std::string type = firstLine(entry.path() / "type");
    if (type == "Mains" && firstLine(entry.path() / "online") == "1") mainsOnline = true;
    if (type != "Battery" || batteryFound) continue;
    batteryFound = true;
    std::string capacity = firstLine(entry.path() / "capacity");
    if (!capacity.empty() && capacity.find_first_not_of("0123456789") == std::string::npos)
      b.level = static_cast<float>(std::stoi(capacity)) / 100.0f;
    std::string status = firstLine(entry.path() / "status");
    charging = status == "Charging" || status == "Full";
  }
  if (batteryFound) b.pluggedIn = charging || mainsOnline;
  return b;
}

UInt16 SysBatteryInfoV20(Boolean, UInt16* warnThresholdP, UInt16* criticalThresholdP, UInt16* maxTicksP, UInt8* kindP,
                         Boolean* pluggedIn) {
  HostBattery b = hostBattery();
  if (warnThresholdP) *warnThresholdP = 0;
  if (criticalThresholdP) *criticalThresholdP = 0;
  if (maxTicksP) *maxTicksP = 0;
  if (kindP) *kindP = kSysBatteryKindLiIon;
  if (pluggedIn) *pluggedIn = b.pluggedIn;
  return static_cast<UInt16>(b.level * 1380.0f);
}

UInt16 SysSetAutoOffTime(UInt16 seconds) {
  UInt16 previous = autoOffTime;
  autoOffTime = seconds;
  return previous;
}

#include "host/Settings.h"
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include "host/HostPaths.h"
#include "host/Reporting.h"

namespace Settings {
namespace {
constexpr const char* kFileName = "Settings.txt";
std::mutex fileLock;

std::string trim(const std::string& s) {
  std::size_t b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return "";
  std::size_t e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}

std::map<std::string, std::string> readFile(const std::string& path) {
  std::map<std::string, std::string> values;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    line = trim(line);
    if (line.empty() || line[0] == '#') continue;
    std::size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    values[trim(line.substr(0, eq))] = trim(line.substr(eq + 1));
  }
  return values;
}
}  // namespace

std::optional<std::string> get(const std::string& key) {
  std::lock_guard<std::mutex> guard(fileLock);
  for (const std::string& folder : {HostPaths::documents(), HostPaths::bundle()}) {
    if (folder.empty()) continue;
    auto values = readFile(folder + kFileName);
    if (auto it = values.find(key); it != values.end()) return it->second;
  }
  return std::nullopt;
}

bool getBool(const std::string& key, bool fallback) {
  auto value = get(key);
  if (!value) return fallback;
  if (*value == "true" || *value == "yes" || *value == "1") return true;
  if (*value == "false" || *value == "no" || *value == "0") return false;
  return fallback;
}

bool set(const std::string& key, const std::string& value) {
  std::lock_guard<std::mutex> guard(fileLock);
  std::string path = HostPaths::documents() + kFileName;
  auto values = readFile(path);
  values[key] = value;
  std::string temporary = path + ".tmp";
  {
    std::ofstream out(temporary, std::ios::trunc);
    for (auto& [k, v] : values) out << k << '=' << v << '\n';
    out.flush();
    if (!out) {
      WarningF("settings - set error: cannot write %s", temporary.c_str());
      return false;
    }
  }
  if (Rename(temporary.c_str(), path.c_str()) != 0) {
    WarningF("settings - set error: cannot replace %s (%s)", path.c_str(), Strerror(PosixErrno()));
    return false;
  }
  return true;
}
}  // namespace Settings

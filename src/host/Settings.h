// Settings of key=value lines: the bundle's "Settings.txt" gives the defaults
// (what a phone keeps in its Info.plist), the one in Documents overrides them
// (user defaults).
#pragma once
#include <optional>
#include <string>

namespace Settings {
std::optional<std::string> get(const std::string& key);
// "true", "yes" and "1" are true; "false", "no" and "0" false; anything else
// (or no value) gives fallback.
bool getBool(const std::string& key, bool fallback);
// Stores a user default in Documents' "Settings.txt". Returns false (and
// warns) when the file cannot be written.
bool set(const std::string& key, const std::string& value);
}  // namespace Settings

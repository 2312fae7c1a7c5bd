// The per-module globals registry: each manager's initialiser stores its
// globals block once under its ModuleId; the manager finds it again here.
#pragma once

enum class ModuleId : int {
  InitPref = 0,
  App = 1,
  AlarmMgr = 2,
  Categories = 4,
  Controls = 5,
  DataMgr = 6,
  DateTimeSelect = 7,
  EventMgr = 8,
  Exchange = 9,
  Feature = 10,
  InsPt = 11,
  FileStream = 12,
  Find = 13,
  Font = 14,
  Form = 15,
  GraffitiShift = 16,
  KeyMgr = 17,
  Lcd = 18,
  M68K = 20,
  MemoryMgr = 21,
  Menu = 22,
  Notify = 23,
  PenMgr = 24,
  Phone = 25,
  SharedLibraries = 26,
  Sound = 27,
  TimeZoneSelect = 29,
  UIColor = 30,
  Window = 31,
  StrTxt = 33,
  SystemObj = 34,
  Vfs = 35,
  SerialLink = 37,
  TcpIp = 38,
};

constexpr int kModuleCount = 39;

void setGlobals(ModuleId id, void* block);
void* getGlobals(ModuleId id);

// Start-up of a manager that keeps no state yet: registers an empty block so
// that the manager counts as started. Always succeeds.
bool RegisterEmptyGlobals(ModuleId id);

template <typename T>
T* getGlobalsAs(ModuleId id) {
  return static_cast<T*>(getGlobals(id));
}

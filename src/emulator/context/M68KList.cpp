#include "emulator/context/M68KList.h"
#include "host/Reporting.h"

namespace {
[[noreturn]] void listAssert(int line) { FatalF("assert() failed (%s.%d)", "M68K", line); }
}  // namespace

int M68KList::find(std::thread::id thread) const {
  for (int i = 0; i < count_; ++i)
    if (entries_[i].thread == thread) return i;
  return -1;
}

M68K* M68KList::push(M68K* m) {
  MonitorLock guard(monitor_);
  int i = find(std::this_thread::get_id());
  if (i >= 0) {
    M68K* old = entries_[i].context;
    entries_[i].context = m;
    return old;
  }
  if (count_ == kMaxThreads) listAssert(79);
  entries_[count_++] = {std::this_thread::get_id(), m};
  return nullptr;
}

void M68KList::pop(M68K* previous) {
  MonitorLock guard(monitor_);
  int i = find(std::this_thread::get_id());
  if (i < 0) listAssert(107);
  if (previous) {
    entries_[i].context = previous;
    return;
  }
  for (int j = i; j + 1 < count_; ++j) entries_[j] = entries_[j + 1];
  entries_[--count_] = Entry{};
}

M68K* M68KList::getCurrent() {
  M68K* current = findCurrent();
  if (!current) listAssert(136);
  return current;
}

M68K* M68KList::findCurrent() {
  MonitorLock guard(monitor_);
  int i = find(std::this_thread::get_id());
  return i < 0 ? nullptr : entries_[i].context;
}

int M68KList::count() {
  MonitorLock guard(monitor_);
  return count_;
}

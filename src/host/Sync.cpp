// Condition, Countdown and Resource.
#include <chrono>
#include "host/Threads.h"

void Condition::set() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    set_ = true;
  }
  changed_.notify_all();
}

void Condition::reset() {
  std::lock_guard<std::mutex> guard(lock_);
  set_ = false;
}

void Condition::wait() {
  std::unique_lock<std::mutex> guard(lock_);
  changed_.wait(guard, [this] { return set_; });
}

void Condition::wait(unsigned long ms) {
  std::unique_lock<std::mutex> guard(lock_);
  changed_.wait_for(guard, std::chrono::milliseconds(ms), [this] { return set_; });
}

bool Condition::nowait() {
  std::lock_guard<std::mutex> guard(lock_);
  return set_;
}

struct CountdownPrivate {
  Monitor monitor;
  Condition zero;
  int count = 0;
};

Countdown::Countdown() : p_(std::make_unique<CountdownPrivate>()) { p_->zero.set(); }
Countdown::~Countdown() = default;

void Countdown::inc(int n) {
  MonitorLock guard(p_->monitor);
  p_->count += n;
  if (p_->count != 0)
    p_->zero.reset();
  else
    p_->zero.set();
}

int Countdown::count() {
  MonitorLock guard(p_->monitor);
  return p_->count;
}

void Countdown::waitZero() { p_->zero.wait(); }

struct ResourcePrivate {
  Monitor monitor;
  Condition available;
  unsigned count = 0;
};

Resource::Resource() : p_(std::make_unique<ResourcePrivate>()) {}
Resource::~Resource() = default;

void Resource::free(unsigned n) {
  MonitorLock guard(p_->monitor);
  p_->count += n;
  p_->available.set();
}

void Resource::obtain() {
  p_->monitor.enter();
  while (p_->count == 0) {
    p_->available.reset();
    p_->monitor.leave();
    p_->available.wait();
    p_->monitor.enter();
  }
  if (--p_->count == 0) p_->available.reset();
  p_->monitor.leave();
}

bool Resource::obtainNoWait() {
  MonitorLock guard(p_->monitor);
  if (p_->count == 0) return false;
  if (--p_->count == 0) p_->available.reset();
  return true;
}

unsigned Resource::getCount() {
  MonitorLock guard(p_->monitor);
  return p_->count;
}

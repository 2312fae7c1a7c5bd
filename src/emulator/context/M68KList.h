// The per-thread table of current emulation contexts: every thread that runs
// 68K code has exactly one current context, so native managers can call back
// into 68K code without being handed one. Contexts nest per thread.
#pragma once
#include <thread>
#include "host/Threads.h"

class M68K;

class M68KList {
 public:
  static constexpr int kMaxThreads = 10;

  // Makes m the calling thread's current context; returns the one it hides, or null.
  M68K* push(M68K* m);
  // Restores previous as the calling thread's context; null removes the thread's entry.
  void pop(M68K* previous);
  M68K* getCurrent();
  // The current context, or null when the calling thread has none.
  M68K* findCurrent();
  int count();

 private:
  struct Entry {
    std::thread::id thread;
    M68K* context = nullptr;
  };
  int find(std::thread::id thread) const;

  Monitor monitor_;
  int count_ = 0;
  Entry entries_[kMaxThreads];
};

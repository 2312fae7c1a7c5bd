// Thread and lock primitives: every thread, lock and wait of the system goes
// through these classes.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

// A recursive lock: the owning thread may enter again and must leave as often.
class Monitor {
 public:
  void enter() { lock_.lock(); }
  void leave() { lock_.unlock(); }

 private:
  std::recursive_mutex lock_;
};

// Holds a Monitor for one scope.
class MonitorLock {
 public:
  explicit MonitorLock(Monitor& m) : m_(m) { m_.enter(); }
  ~MonitorLock() { m_.leave(); }
  MonitorLock(const MonitorLock&) = delete;
  MonitorLock& operator=(const MonitorLock&) = delete;

 private:
  Monitor& m_;
};

// A manual-reset event: set() wakes every waiter and stays set until reset().
class Condition {
 public:
  void set();
  void reset();
  // Returns once the condition is set; does not clear it.
  void wait();
  // As wait(), giving up after ms milliseconds. Whether the condition was set
  // is asked with nowait().
  void wait(unsigned long ms);
  bool nowait();

 private:
  std::mutex lock_;
  std::condition_variable changed_;
  bool set_ = false;
};

struct CountdownPrivate;

// A counter that threads wait on to reach zero.
class Countdown {
 public:
  Countdown();
  ~Countdown();
  void inc(int n);
  int count();
  void waitZero();

 private:
  std::unique_ptr<CountdownPrivate> p_;
};

struct ResourcePrivate;

// A counting semaphore.
class Resource {
 public:
  Resource();
  ~Resource();
  void free(unsigned n);
  void obtain();
  bool obtainNoWait();
  unsigned getCount();

 private:
  std::unique_ptr<ResourcePrivate> p_;
};

// 0 is the normal priority; any other value asks for the highest host priority.
using ThreadPriorityType = int;

class ThreadPrivate;

// Where a thread's host stack lives. Threads that run 68K code, or call back
// into it, need their stack in the 68K arena: native locals whose address is
// pushed to 68K code must be addressable by it.
enum class ThreadStack { Host, Arena };

// A detached host thread with a priority, kept in the process-wide thread list
// while its entry function runs.
class Thread {
 public:
  Thread();
  ~Thread();
  // stackSize is honoured for arena stacks (at least 256 KB); host stacks use
  // the host default.
  void start(void (*proc)(void*), ThreadPriorityType priority, void* parm, unsigned long stackSize,
             ThreadStack stack = ThreadStack::Host);
  // True while the entry function runs.
  bool isRunning() const;

 private:
  std::shared_ptr<ThreadPrivate> p_;
};

// The calling thread's fault-recovery state: 0 normal, 2 inside a guarded
// memory operation. Kept for every thread, the main thread included.
std::uint32_t getThreadExceptionState();
void setThreadExceptionState(std::uint32_t state);

// Number of threads in the thread list (started through Thread::start and
// still running their entry function).
int runningThreadCount();

// True on the emulator thread.
bool IsAppThread();
void markCurrentThreadAsAppThread(bool isAppThread);

// Native-code kernel mutexes. Handles are 32-bit values from a table.
std::uint16_t KALMutexCreate(std::uint32_t* handleOut, std::uint32_t tag);
std::uint16_t KALMutexReserve(std::uint32_t handle);
std::uint16_t KALMutexRelease(std::uint32_t handle);
std::uint16_t KALMutexDelete(std::uint32_t handle);

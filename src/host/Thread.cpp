// Thread, the process-wide thread list and per-thread state.
#include <pthread.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>
#include <algorithm>
#include <atomic>
#include <vector>
#include "host/FaultHandler.h"
#include "host/Reporting.h"
#include "host/Threads.h"
#include "host/arena/Arena.h"

class ThreadPrivate {
 public:
  void (*proc)(void*) = nullptr;
  void* parm = nullptr;
  ThreadPriorityType threadPriority = 0;
  pthread_t handle{};
  ThreadPrivate* nextThread = nullptr;
  ThreadPrivate* previousThread = nullptr;
  std::atomic<bool> running{false};
  void* arenaStack = nullptr;  // page run holding the stack, with a guard page at its bottom
  std::shared_ptr<ThreadPrivate> self;  // keeps the object alive while the thread runs
};

namespace {
Monitor ThreadListMonitor;
ThreadPrivate* FirstThread = nullptr;

thread_local std::uint32_t exceptionState = 0;
thread_local bool isAppThread = false;

constexpr unsigned long kMinArenaStack = 256 * 1024;

// Arena stacks cannot be released by the thread that runs on them: finished
// threads are joined and their stacks released by the next start.
struct FinishedThread {
  pthread_t handle;
  void* stack;
};
std::mutex finishedLock;
std::vector<FinishedThread> finished;

void reapFinishedThreads() {
  std::vector<FinishedThread> done;
  {
    std::lock_guard<std::mutex> guard(finishedLock);
    done.swap(finished);
  }
  for (FinishedThread& t : done) {
    pthread_join(t.handle, nullptr);
    Arena::releasePages(t.stack);
  }
}

void linkThread(ThreadPrivate* t) {
  MonitorLock guard(ThreadListMonitor);
  t->previousThread = nullptr;
  t->nextThread = FirstThread;
  if (FirstThread) FirstThread->previousThread = t;
  FirstThread = t;
}

void unlinkThread(ThreadPrivate* t) {
  MonitorLock guard(ThreadListMonitor);
  if (t->previousThread)
    t->previousThread->nextThread = t->nextThread;
  else
    FirstThread = t->nextThread;
  if (t->nextThread) t->nextThread->previousThread = t->previousThread;
  t->nextThread = t->previousThread = nullptr;
}

void raisePriority() {
  // The highest priority a normal process may ask for; without the right to
  // raise it the thread keeps the host default.
  setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), -20);
}

void* threadBody(void* arg) {
  auto* t = static_cast<ThreadPrivate*>(arg);
  std::shared_ptr<ThreadPrivate> keep = std::move(t->self);
  exceptionState = 0;
  ensureSignalStack();
  t->handle = pthread_self();
  linkThread(t);
  if (t->threadPriority != 0) raisePriority();
  t->proc(t->parm);
  unlinkThread(t);
  t->running = false;
  if (t->arenaStack) {
    std::lock_guard<std::mutex> guard(finishedLock);
    finished.push_back({t->handle, t->arenaStack});
  }
  return nullptr;
}

void* allocateArenaStack(unsigned long size, pthread_attr_t* attr) {
  std::size_t page = Arena::pageSize();
  std::size_t usable = (std::max(size, kMinArenaStack) + page - 1) / page * page;
  auto* run = static_cast<unsigned char*>(Arena::allocatePages(usable + page));
  ValidateNewPtr(__FILE__, __LINE__, run);
  mprotect(run, page, PROT_NONE);  // guard page: an overflow faults
  pthread_attr_setstack(attr, run + page, usable);
  return run;
}
}  // namespace

Thread::Thread() : p_(std::make_shared<ThreadPrivate>()) {}
Thread::~Thread() = default;

void Thread::start(void (*proc)(void*), ThreadPriorityType priority, void* parm, unsigned long stackSize,
                   ThreadStack stack) {
  reapFinishedThreads();
  p_->proc = proc;
  p_->parm = parm;
  p_->threadPriority = priority;
  p_->running = true;
  p_->self = p_;
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  if (stack == ThreadStack::Arena) {
    p_->arenaStack = allocateArenaStack(stackSize, &attr);
  } else {
    pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
  }
  pthread_t handle;
  int failed = pthread_create(&handle, &attr, threadBody, p_.get());
  pthread_attr_destroy(&attr);
  if (failed) {
    p_->self.reset();
    p_->running = false;
    Arena::releasePages(p_->arenaStack);
    FatalF("Out of memory detected at %s (%d).\n\nThe program is now terminating", filenameOnly(__FILE__),
           __LINE__);
  }
}

bool Thread::isRunning() const { return p_->running; }

std::uint32_t getThreadExceptionState() { return exceptionState; }
void setThreadExceptionState(std::uint32_t state) { exceptionState = state; }

int runningThreadCount() {
  MonitorLock guard(ThreadListMonitor);
  int n = 0;
  for (ThreadPrivate* t = FirstThread; t; t = t->nextThread) ++n;
  return n;
}

bool IsAppThread() { return isAppThread; }
void markCurrentThreadAsAppThread(bool value) { isAppThread = value; }

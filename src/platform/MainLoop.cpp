#include <chrono>
#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <thread>
#include "platform/Platform.h"

namespace Platform {
namespace {
struct TaskQueue {
  std::mutex lock;
  std::condition_variable wake;
  std::deque<std::packaged_task<void()>> tasks;
  bool woken = false;
};

TaskQueue& queue() {
  static TaskQueue q;
  return q;
}

std::thread::id mainThreadId;
bool mainThreadSet = false;

// The refresh period of the host display.
constexpr auto kTurn = std::chrono::milliseconds(1000 / 30);

void runQueuedTasks() {
  TaskQueue& q = queue();
  for (;;) {
    std::packaged_task<void()> task;
    {
      std::lock_guard<std::mutex> guard(q.lock);
      if (q.tasks.empty()) return;
      task = std::move(q.tasks.front());
      q.tasks.pop_front();
    }
    task();
  }
}
}  // namespace

void setMainThread() {
  mainThreadId = std::this_thread::get_id();
  mainThreadSet = true;
}

bool isMainThread() { return mainThreadSet && std::this_thread::get_id() == mainThreadId; }

void performOnMainThreadAndWait(std::function<void()> task) {
  if (!mainThreadSet || isMainThread()) {
    task();
    return;
  }
  std::packaged_task<void()> packaged(std::move(task));
  std::future<void> done = packaged.get_future();
  {
    TaskQueue& q = queue();
    std::lock_guard<std::mutex> guard(q.lock);
    q.tasks.push_back(std::move(packaged));
    q.woken = true;
  }
  queue().wake.notify_all();
  done.get();
}

void wakeMainLoop() {
  TaskQueue& q = queue();
  {
    std::lock_guard<std::mutex> guard(q.lock);
    q.woken = true;
  }
  q.wake.notify_all();
}

void runMainLoop(const std::function<bool()>& keepRunning) {
  TaskQueue& q = queue();
  while (keepRunning()) {
    runQueuedTasks();
    if (!backend().pumpEvents()) break;
    std::unique_lock<std::mutex> guard(q.lock);
    q.wake.wait_for(guard, kTurn, [&] { return q.woken; });
    q.woken = false;
  }
  runQueuedTasks();
}
}  // namespace Platform

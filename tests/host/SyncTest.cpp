#include <gtest/gtest.h>
#include <atomic>
#include <thread>
#include "host/Threads.h"

namespace {

// Spins (yielding) until pred holds; bounded so a broken primitive fails the test instead of hanging it.
template <typename Pred>
bool eventually(Pred pred) {
  for (int i = 0; i < 2000000; ++i) {
    if (pred()) return true;
    std::this_thread::yield();
  }
  return false;
}

TEST(Condition, TimedWaitOfZeroReturnsAndKeepsState) {
  Condition c;
  c.wait(0);
  EXPECT_FALSE(c.nowait());
  c.set();
  c.wait(0);
  EXPECT_TRUE(c.nowait());
  c.wait();  // set stays set: returns at once
  EXPECT_TRUE(c.nowait());
  c.reset();
  EXPECT_FALSE(c.nowait());
}

TEST(Condition, SetWakesEveryWaiter) {
  Condition c;
  std::atomic<int> woke{0};
  std::thread a([&] { c.wait(); ++woke; });
  std::thread b([&] { c.wait(); ++woke; });
  c.set();
  a.join();
  b.join();
  EXPECT_EQ(woke, 2);
}

TEST(Resource, FreeOneLetsExactlyOneWaiterThrough) {
  Resource r;
  std::atomic<int> through{0};
  std::thread a([&] { r.obtain(); ++through; });
  std::thread b([&] { r.obtain(); ++through; });
  r.free(1);
  ASSERT_TRUE(eventually([&] { return through.load() == 1; }));
  // The second waiter must still be blocked: the count went back to 0.
  for (int i = 0; i < 1000; ++i) std::this_thread::yield();
  EXPECT_EQ(through, 1);
  EXPECT_EQ(r.getCount(), 0u);
  r.free(1);
  a.join();
  b.join();
  EXPECT_EQ(through, 2);
}

TEST(Resource, ObtainNoWait) {
  Resource r;
  EXPECT_FALSE(r.obtainNoWait());
  r.free(2);
  EXPECT_TRUE(r.obtainNoWait());
  EXPECT_TRUE(r.obtainNoWait());
  EXPECT_FALSE(r.obtainNoWait());
}

TEST(Countdown, WaitZeroBlocksBetweenIncrements) {
  Countdown c;
  c.waitZero();  // starts at zero
  c.inc(2);
  std::atomic<bool> passed{false};
  std::thread waiter([&] { c.waitZero(); passed = true; });
  c.inc(-1);
  for (int i = 0; i < 1000; ++i) std::this_thread::yield();
  EXPECT_FALSE(passed);
  EXPECT_EQ(c.count(), 1);
  c.inc(-1);
  waiter.join();
  EXPECT_TRUE(passed);
}

TEST(Monitor, IsRecursive) {
  Monitor m;
  m.enter();
  m.enter();
  m.leave();
  std::atomic<bool> got{false};
  std::thread other([&] { MonitorLock lock(m); got = true; });
  for (int i = 0; i < 1000; ++i) std::this_thread::yield();
  EXPECT_FALSE(got);  // still held once
  m.leave();
  other.join();
  EXPECT_TRUE(got);
}

TEST(KALMutex, CreateReserveReleaseDelete) {
  std::uint32_t handle = 0;
  ASSERT_EQ(KALMutexCreate(&handle, 0), 0);
  EXPECT_NE(handle, 0u);
  EXPECT_EQ(KALMutexReserve(handle), 0);
  EXPECT_EQ(KALMutexReserve(handle), 0);  // recursive
  std::atomic<bool> got{false};
  std::thread other([&] { KALMutexReserve(handle); got = true; KALMutexRelease(handle); });
  EXPECT_EQ(KALMutexRelease(handle), 0);
  for (int i = 0; i < 1000; ++i) std::this_thread::yield();
  EXPECT_FALSE(got);
  EXPECT_EQ(KALMutexRelease(handle), 0);
  other.join();
  EXPECT_TRUE(got);
  EXPECT_EQ(KALMutexDelete(handle), 0);
  EXPECT_EQ(KALMutexCreate(nullptr, 0), 0xFFFF);
}

}  // namespace

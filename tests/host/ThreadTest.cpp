#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>
#include <atomic>
#include "host/Threads.h"
#include "palm/Address.h"

namespace {

struct Probe {
  Condition release;
  Condition started;
  Condition finished;
  std::atomic<int> listed{0};
  std::atomic<int> niceness{0};
  std::atomic<bool> stackInArena{false};
  std::atomic<std::uint32_t> exceptionState{99};
};

void probeBody(void* arg) {
  auto* p = static_cast<Probe*>(arg);
  int local = 0;
  auto where = reinterpret_cast<std::uintptr_t>(&local);
  p->stackInArena = where < 0x80000000u && Arena68K::inArena(toEmu(&local));
  p->listed = runningThreadCount();
  p->niceness = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
  p->exceptionState = getThreadExceptionState();
  p->started.set();
  p->release.wait();
}

void waitUntilGone(const Thread& t) {
  while (t.isRunning()) sched_yield();
}

TEST(Thread, IsListedWhileItsEntryRuns) {
  int before = runningThreadCount();
  Probe probe;
  Thread t;
  t.start(probeBody, 0, &probe, 0);
  probe.started.wait();
  EXPECT_EQ(probe.listed, before + 1);
  EXPECT_TRUE(t.isRunning());
  EXPECT_EQ(probe.exceptionState, 0u);
  probe.release.set();
  waitUntilGone(t);
  EXPECT_EQ(runningThreadCount(), before);
}

TEST(Thread, MainThreadExceptionStateIsZero) { EXPECT_EQ(getThreadExceptionState(), 0u); }

TEST(Thread, ArenaStackLocalsAre68KAddressable) {
  Probe probe;
  Thread t;
  t.start(probeBody, 0, &probe, 64 * 1024, ThreadStack::Arena);
  probe.started.wait();
  EXPECT_TRUE(probe.stackInArena);
  probe.release.set();
  waitUntilGone(t);
}

TEST(Thread, HostStackThreadIsNotInArena) {
  Probe probe;
  Thread t;
  t.start(probeBody, 0, &probe, 0);
  probe.started.wait();
  EXPECT_FALSE(probe.stackInArena);
  probe.release.set();
  waitUntilGone(t);
}

TEST(Thread, NonZeroPriorityAsksForTheHighestHostPriority) {
  if (geteuid() != 0) GTEST_SKIP() << "raising a thread's priority needs root";
  Probe high, normal;
  Thread a, b;
  a.start(probeBody, 1, &high, 0);
  b.start(probeBody, 0, &normal, 0);
  high.started.wait();
  normal.started.wait();
  EXPECT_EQ(high.niceness, -20);
  EXPECT_EQ(normal.niceness, getpriority(PRIO_PROCESS, 0));
  high.release.set();
  normal.release.set();
  waitUntilGone(a);
  waitUntilGone(b);
}

}  // namespace

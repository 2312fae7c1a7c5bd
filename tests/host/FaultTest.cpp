#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>
#include <cstring>
#include <vector>
#include "host/FaultHandler.h"
#include "host/Threads.h"
#include "support/RecordingBackend.h"

namespace {

// Two pages whose second one is inaccessible.
struct HalfMappedPages {
  std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  unsigned char* base;
  HalfMappedPages() {
    base = static_cast<unsigned char*>(mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    std::memset(base, 0x5A, page);
    mprotect(base + page, page, PROT_NONE);
  }
  ~HalfMappedPages() { munmap(base, 2 * page); }
  unsigned char* lastBytes(std::size_t n) { return base + page - n; }
};

TEST(MemMove, CopiesOverlappingRanges) {
  char text[] = "abcdefgh";
  EXPECT_EQ(MemMove(text + 2, text, 5), errNone);
  EXPECT_STREQ(text, "ababcdeh");
  EXPECT_EQ(MemMove(text, text + 3, 4), errNone);
  EXPECT_STREQ(text, "bcdecdeh");
}

TEST(MemMove, SourceRunningIntoUnmappedMemoryReturnsAndWarns) {
  HalfMappedPages pages;
  RecordedAlerts alerts;
  std::vector<unsigned char> dst(64, 0);
  EXPECT_EQ(MemMove(dst.data(), pages.lastBytes(16), 64), errNone);
  EXPECT_EQ(getThreadExceptionState(), 0u);
  ASSERT_EQ(alerts.alerts().size(), 1u);
  EXPECT_NE(alerts.alerts()[0].second.find("copy ended early"), std::string::npos);
  // The process goes on and a later guarded copy works.
  char a[4] = "xyz", b[4] = {};
  MemMove(b, a, 4);
  EXPECT_STREQ(b, "xyz");
}

struct GuardedCopyJob {
  HalfMappedPages* pages = nullptr;
  Condition done;
  std::atomic<bool> returned{false};
};

void guardedCopyOnThread(void* arg) {
  auto* job = static_cast<GuardedCopyJob*>(arg);
  unsigned char dst[64];
  MemMove(dst, job->pages->lastBytes(8), 64);
  job->returned = true;
  job->done.set();
}

void doNothing(void*) {}

TEST(MemMove, FaultOnAThreadAfterAnotherThreadEndedIsStillHandled) {
  Thread first;
  first.start(doNothing, 0, nullptr, 0);
  while (first.isRunning()) sched_yield();
  HalfMappedPages pages;
  RecordedAlerts alerts;
  GuardedCopyJob job;
  job.pages = &pages;
  Thread second;
  second.start(guardedCopyOnThread, 0, &job, 0);
  job.done.wait();
  EXPECT_TRUE(job.returned);
}

using FaultDeathTest = testing::Test;

TEST_F(FaultDeathTest, UnguardedFaultIsReportedAndEndsTheProcess) {
  EXPECT_EXIT(
      {
        HalfMappedPages pages;
        volatile unsigned char* p = pages.base + pages.page;
        *p = 1;
      },
      testing::ExitedWithCode(255), "Fatal Error: Illegal memory access");
}

TEST_F(FaultDeathTest, ReportCarriesTheEmulatorDetail) {
  EXPECT_EXIT(
      {
        setFaultDetailProc([](char* buffer, std::size_t size) { snprintf(buffer, size, " Last trap = a0c2"); });
        HalfMappedPages pages;
        volatile unsigned char* p = pages.base + pages.page;
        (void)*p;
      },
      testing::ExitedWithCode(255), "Illegal memory access\n Last trap = a0c2");
}

}  // namespace

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>
#include <algorithm>
#include <cstring>
#include <random>
#include <set>
#include <thread>
#include <vector>
#include "host/HostMemory.h"
#include "host/arena/Arena.h"
#include "palm/Address.h"

namespace {

TEST(Arena, BlocksAreAlignedZeroedAndBelow2GiB) {
  std::vector<void*> blocks;
  for (unsigned long n : {1ul, 2ul, 7ul, 8ul, 9ul, 100ul, 4095ul, 4096ul, 65537ul, 3ul << 20}) {
    auto* p = static_cast<unsigned char*>(MALLOC(n));
    ASSERT_NE(p, nullptr) << n;
    auto a = reinterpret_cast<std::uintptr_t>(p);
    EXPECT_EQ(a % 8, 0u) << n;
    EXPECT_LT(a + n, 0x80000000u) << n;
    EXPECT_TRUE(Arena68K::inArena(toEmu(p))) << n;
    EXPECT_GE(MALLOC_SIZE(p), n);
    EXPECT_TRUE(std::all_of(p, p + n, [](unsigned char c) { return c == 0; })) << n;
    std::memset(p, 0xEE, n);
    blocks.push_back(p);
  }
  for (void* p : blocks) FREE(p);
}

TEST(Arena, FreedMemoryIsReusedAndZeroedAgain) {
  auto* a = static_cast<unsigned char*>(MALLOC(256));
  std::memset(a, 0xAB, 256);
  FREE(a);
  auto* b = static_cast<unsigned char*>(MALLOC(256));
  EXPECT_EQ(a, b);  // best fit takes the same block back
  EXPECT_TRUE(std::all_of(b, b + 256, [](unsigned char c) { return c == 0; }));
  FREE(b);
}

TEST(Arena, NeighbouringFreeBlocksCoalesce) {
  std::size_t before = Arena::freeBytes();
  void* a = MALLOC(1000);
  void* b = MALLOC(1000);
  void* c = MALLOC(1000);
  FREE(a);
  FREE(c);
  FREE(b);
  EXPECT_EQ(Arena::freeBytes(), before);
  void* big = MALLOC(3000);
  EXPECT_EQ(big, a);
  FREE(big);
}

TEST(Arena, ForeignPointersHaveNoSize) {
  int local = 0;
  EXPECT_EQ(MALLOC_SIZE(&local), 0u);
  EXPECT_EQ(MALLOC_SIZE(nullptr), 0u);
  void* p = MALLOC(64);
  EXPECT_EQ(MALLOC_SIZE(static_cast<char*>(p) + 8), 0u);
  FREE(p);
}

TEST(Arena, ExhaustionGivesNull) { EXPECT_EQ(MALLOC(0x7FFFFFFF), nullptr); }

TEST(Arena, ManyThreadsAllocateAndFreeWithoutOverlap) {
  constexpr int kThreads = 6, kRounds = 3000;
  std::vector<std::vector<std::pair<unsigned char*, std::size_t>>> kept(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, &kept] {
      std::mt19937 rng(t);
      std::vector<std::pair<unsigned char*, std::size_t>> live;
      for (int i = 0; i < kRounds; ++i) {
        if (!live.empty() && rng() % 3 == 0) {
          auto [p, n] = live[rng() % live.size()];
          // Each block still holds its owner's pattern: no other thread wrote into it.
          ASSERT_TRUE(std::all_of(p, p + n, [t](unsigned char c) { return c == t + 1; }));
          FREE(p);
          live.erase(std::find(live.begin(), live.end(), std::make_pair(p, n)));
        } else {
          std::size_t n = 1 + rng() % 2000;
          auto* p = static_cast<unsigned char*>(MALLOC(n));
          ASSERT_NE(p, nullptr);
          std::memset(p, t + 1, n);
          live.emplace_back(p, n);
        }
      }
      kept[t] = live;
    });
  }
  for (auto& th : threads) th.join();
  std::vector<std::pair<unsigned char*, std::size_t>> all;
  for (auto& v : kept) all.insert(all.end(), v.begin(), v.end());
  std::sort(all.begin(), all.end());
  for (std::size_t i = 1; i < all.size(); ++i) EXPECT_LE(all[i - 1].first + all[i - 1].second, all[i].first);
  for (auto& [p, n] : all) FREE(p);
}

TEST(ExecutableMemory, ChunkSizesFollowWholePages) {
  const unsigned long page = static_cast<unsigned long>(sysconf(_SC_PAGESIZE));
  struct Case {
    unsigned long request, usable;
  } cases[] = {{1, page - 4}, {page - 4, page - 4}, {page - 3, 2 * page - 4}, {2 * page, 3 * page - 4}};
  for (const Case& c : cases) {
    void* p = allocExecutableMemory(c.request);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(getExecutableMemoryChunkSize(p), c.usable) << c.request;
    EXPECT_EQ((reinterpret_cast<std::uintptr_t>(p) - 4) % page, 0u);
    EXPECT_TRUE(Arena68K::inArena(toEmu(p)));
    std::memset(p, 0x4E, c.usable);
    freeExecutableMemory(p);
  }
}

TEST(ExecutableMemory, ProtectionCanBeLiftedAgain) {
  auto* p = static_cast<unsigned char*>(allocExecutableMemory(100));
  writeProtectExecutableMemory(true, p);
  EXPECT_EQ(p[0], 0);
  writeProtectExecutableMemory(false, p);
  p[0] = 0x75;
  EXPECT_EQ(p[0], 0x75);
  freeExecutableMemory(p);
}

using ArenaDeathTest = testing::Test;

TEST_F(ArenaDeathTest, WritingAProtectedChunkFaults) {
  EXPECT_EXIT(
      {
        auto* p = static_cast<volatile unsigned char*>(allocExecutableMemory(100));
        writeProtectExecutableMemory(true, const_cast<unsigned char*>(p));
        p[10] = 1;
      },
      testing::ExitedWithCode(255), "Illegal memory access");
}

TEST_F(ArenaDeathTest, WildAccessOutsideAllocatedPagesFaults) {
  // The last page of the byte heap is never handed out in a test run.
  EXPECT_EXIT(
      {
        volatile unsigned char* wild = reinterpret_cast<unsigned char*>(std::uintptr_t(Arena68K::kBase + 0x30000000));
        (void)*wild;
      },
      testing::ExitedWithCode(255), "Illegal memory access");
}

TEST_F(ArenaDeathTest, HostPointerAbove2GiBIsAFatalBug) {
  static int host;
  int* high = reinterpret_cast<int*>(reinterpret_cast<std::uintptr_t>(&host) | (std::uintptr_t(1) << 40));
  EXPECT_DEATH(toEmu(high), "not addressable by 68K code");
}

}  // namespace

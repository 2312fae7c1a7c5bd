#include <gtest/gtest.h>
#include <thread>
#include <vector>
#include "emulator/context/M68KGlobals.h"
#include "host/Threads.h"
#include "palm/Address.h"
#include "palm/Endian.h"

namespace {

class M68KGlobalsTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!GetM68KGlobals()) {
      ASSERT_TRUE(M68KInit());
    }
  }
};

M68K* fakeContext(int n) { return reinterpret_cast<M68K*>(static_cast<std::uintptr_t>(0x1000 * n)); }

TEST_F(M68KGlobalsTest, PseudoTrapAddressesRoundTrip) {
  M68KGlobals* g = GetM68KGlobals();
  EmuAddr first = getPseudoTrapAddrFromTrapNo(0xA000);
  EXPECT_EQ(first, toEmu(g->pseudoTraps));
  EXPECT_EQ(getTrapNoFromPseudoTrapAddr(first), 0xA000);
  EmuAddr last = getPseudoTrapAddrFromTrapNo(0xA476);
  EXPECT_TRUE(isPseudoTrapAddr(last));
  EXPECT_EQ(getTrapNoFromPseudoTrapAddr(last), 0xA476);
  EXPECT_EQ(get16(fromEmu(last)), kIllegalWord);
  EXPECT_FALSE(isPseudoTrapAddr(GetPseudoOverlayRoutineCode(0)));
  EXPECT_EQ(GetPseudoOverlayRoutineCode(0), last + 2);
  EXPECT_EQ(GetPseudoIntlRoutineCode(0), GetPseudoOverlayRoutineCode(9) + 2);
  EXPECT_EQ(overlaySelectorAt(GetPseudoOverlayRoutineCode(3)), 3);
  EXPECT_EQ(intlSelectorAt(GetPseudoIntlRoutineCode(32)), 32);
  EXPECT_EQ(intlSelectorAt(GetPseudoIntlRoutineCode(32) + 2), -1);
  EXPECT_EQ(overlaySelectorAt(last), -1);
  // The trap table starts out pointing at the pseudo words.
  EXPECT_EQ(get32(g->trapTable + 4 * (0xA0C2 - 0xA000)), getPseudoTrapAddrFromTrapNo(0xA0C2));
  EXPECT_TRUE(isReplaceableTrap(0xA476));
  EXPECT_FALSE(isReplaceableTrap(0xA477));
}

TEST_F(M68KGlobalsTest, ContextsNestPerThread) {
  M68KList& list = GetM68KGlobals()->list;
  std::thread([&] {
    EXPECT_EQ(list.findCurrent(), nullptr);
    int before = list.count();
    EXPECT_EQ(list.push(fakeContext(1)), nullptr);
    EXPECT_EQ(list.push(fakeContext(2)), fakeContext(1));
    EXPECT_EQ(list.getCurrent(), fakeContext(2));
    list.pop(fakeContext(1));
    EXPECT_EQ(list.getCurrent(), fakeContext(1));
    list.pop(nullptr);
    EXPECT_EQ(list.findCurrent(), nullptr);
    EXPECT_EQ(list.count(), before);
  }).join();
}

TEST_F(M68KGlobalsTest, RemovingAnEntryKeepsTheOthers) {
  M68KList list;
  Condition pushed, done;
  std::thread a([&] { list.push(fakeContext(7)); pushed.set(); done.wait(); EXPECT_EQ(list.getCurrent(), fakeContext(7)); });
  pushed.wait();
  list.push(fakeContext(8));
  list.pop(nullptr);  // the main thread's entry went in after a's
  done.set();
  a.join();
  EXPECT_EQ(list.count(), 1);
}

using M68KListDeathTest = M68KGlobalsTest;

TEST_F(M68KListDeathTest, EleventhThreadIsAnAssertion) {
  EXPECT_EXIT(
      {
        M68KList list;
        Condition hold;
        std::vector<std::thread> threads;
        for (int i = 0; i < M68KList::kMaxThreads; ++i) {
          Condition in;
          threads.emplace_back([&, i] { list.push(fakeContext(i + 1)); in.set(); hold.wait(); });
          in.wait();
        }
        list.push(fakeContext(99));
      },
      testing::ExitedWithCode(1), "assert\\(\\) failed \\(M68K.79\\)");
}

TEST_F(M68KListDeathTest, LookupWithoutContextIsAnAssertion) {
  EXPECT_EXIT({ M68KList list; list.getCurrent(); }, testing::ExitedWithCode(1), "assert\\(\\) failed \\(M68K.136\\)");
  EXPECT_EXIT({ M68KList list; list.pop(nullptr); }, testing::ExitedWithCode(1), "assert\\(\\) failed \\(M68K.107\\)");
}

TEST_F(M68KGlobalsTest, AfterOneOfTenThreadsLeavesAnotherCanEnter) {
  M68KList list;
  Condition hold;
  std::vector<std::thread> threads;
  for (int i = 0; i < M68KList::kMaxThreads; ++i) {
    Condition in;
    threads.emplace_back([&, i] {
      list.push(fakeContext(i + 1));
      in.set();
      if (i == 0) {
        list.pop(nullptr);
        return;
      }
      hold.wait();
    });
    in.wait();
  }
  threads[0].join();
  EXPECT_EQ(list.push(fakeContext(50)), nullptr);
  EXPECT_EQ(list.count(), M68KList::kMaxThreads);
  hold.set();
  for (std::size_t i = 1; i < threads.size(); ++i) threads[i].join();
}

}  // namespace

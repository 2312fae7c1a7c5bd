// A 68K context in the arena for tests of the production core: code, a stack
// with the quit address pushed, the low-memory block and a frame buffer.
#pragma once
#include <gtest/gtest.h>
#include <initializer_list>
#include "emulator/core/M68KState.h"
#include "host/arena/Arena.h"
#include "palm/Address.h"
#include "palm/Endian.h"

class CoreFixture : public testing::Test {
 public:
  static constexpr UInt32 kBlockBytes = 0x10000;
  static constexpr UInt32 kCode = 0x0000, kData = 0x4000, kStackTop = 0x8000, kFrameBuffer = 0x9000,
                          kFrameBufferBytes = 0x1000;

 protected:

  void SetUp() override {
    block_ = static_cast<UInt8*>(Arena::allocate(kBlockBytes));
    lowMemory_ = static_cast<UInt8*>(Arena::allocate(kLowMemoryBlockBytes));
    ASSERT_NE(block_, nullptr);
    ASSERT_NE(lowMemory_, nullptr);
    st = M68KState{};
    st.lowMemBase = toEmu(lowMemory_);
    st.lcdStart = at(kFrameBuffer);
    st.lcdEnd = at(kFrameBuffer + kFrameBufferBytes - 1);
    set32(&st.lcdStartBigEndian, st.lcdStart);
    st.A(7) = at(kStackTop) - 4;
    set32(host(st.A(7)), kM68KQuitAddress);
  }
  void TearDown() override {
    Arena::release(block_);
    Arena::release(lowMemory_);
  }

  // The 68K address of an offset in the test block.
  UInt32 at(UInt32 offset) const { return toEmu(block_) + offset; }
  static UInt8* host(UInt32 address) { return static_cast<UInt8*>(fromEmu(address)); }
  UInt8* lowMemory() const { return lowMemory_; }

  // Places code at the start of the block and points PC at it.
  void code(std::initializer_list<UInt16> words) {
    UInt32 a = at(kCode);
    for (UInt16 w : words) {
      set16(host(a), w);
      a += 2;
    }
    st.pc = at(kCode);
  }
  M68KAccelStatus run() { return M68KAccelerate(&st); }

  M68KState st{};

 private:
  UInt8* block_ = nullptr;
  UInt8* lowMemory_ = nullptr;
};

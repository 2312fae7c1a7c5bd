#include <gtest/gtest.h>
#include "palm/Endian.h"
#include "palm/FourCC.h"
#include "palm/NativeRoutines.h"

namespace {

int twice(int x) { return 2 * x; }
int thrice(int x) { return 3 * x; }

TEST(NativeRoutines, TokensAre32BitAndStable) {
  UInt32 a = NativeRoutines::tokenFor(reinterpret_cast<void*>(&twice));
  UInt32 b = NativeRoutines::tokenFor(reinterpret_cast<void*>(&thrice));
  EXPECT_NE(a, b);
  EXPECT_EQ(a, NativeRoutines::tokenFor(reinterpret_cast<void*>(&twice)));
  EXPECT_TRUE(NativeRoutines::isToken(a));
  EXPECT_EQ(NativeRoutines::lookupAs<int (*)(int)>(b)(5), 15);
  EXPECT_EQ(NativeRoutines::lookup(0x10000000), nullptr);
  EXPECT_EQ(NativeRoutines::lookup(NativeRoutines::kTokenLimit - 1), nullptr);
}

TEST(Endian, BigAndLittleEndianFields) {
  unsigned char b[4] = {};
  set32(b, 0x12345678);
  EXPECT_EQ(b[0], 0x12);
  EXPECT_EQ(get32(b), 0x12345678u);
  EXPECT_EQ(get16(b + 2), 0x5678);
  set16(b, 0xBEEF);
  EXPECT_EQ(getLE16(b), 0xEFBE);
  setLE32(b, 0x01020304);
  EXPECT_EQ(b[0], 0x04);
  EXPECT_EQ(getLE32(b), 0x01020304u);
  static_assert(fourCC("appl") == 0x6170706C);
}

}  // namespace

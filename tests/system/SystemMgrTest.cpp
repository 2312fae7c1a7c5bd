// System Manager utilities: sorting, random numbers, string resources and
// pointer arrays over packed strings.
#include <cstring>
#include <string>
#include <vector>

#include "storage/DataMgrFixture.h"
#include "system/systemmgr.h"

namespace {

struct Item {
  UInt8 key;
  UInt8 tag;
};

Int16 byKey(const void* a, const void* b, Int32 other) {
  return static_cast<Int16>((static_cast<const Item*>(a)->key - static_cast<const Item*>(b)->key) * other);
}

std::string tags(const std::vector<Item>& items) {
  std::string s;
  for (const Item& i : items) s += static_cast<char>('0' + i.tag);
  return s;
}

TEST(SystemMgr, InsertionSortIsStable) {
  struct Case {
    std::vector<Item> items;
    Int32 other;
    const char* order;
  } cases[] = {
      {{{5, 1}, {3, 2}, {9, 3}, {1, 4}, {3, 5}, {0, 6}}, 1, "642513"},
      {{{5, 1}, {3, 2}, {9, 3}, {1, 4}, {3, 5}, {0, 6}}, -1, "312546"},
      {{{2, 1}, {2, 2}, {2, 3}}, 1, "123"},
      {{{3, 1}, {2, 2}, {1, 3}}, 1, "321"},
      {{{1, 1}}, 1, "1"},
  };
  for (Case& c : cases) {
    SysQSort(c.items.data(), static_cast<UInt16>(c.items.size()), sizeof(Item), byKey, c.other);
    EXPECT_EQ(tags(c.items), c.order);
  }
  std::vector<Item> untouched{{2, 1}, {1, 2}};
  SysInsertionSort(untouched.data(), 2, 0, byKey, 1);  // a width of 0 sorts nothing
  EXPECT_EQ(tags(untouched), "12");
}

TEST(SystemMgr, RandomNumbersRepeatForASeedAndStayInRange) {
  Int16 first = SysRandom(12345);
  std::vector<Int16> run;
  for (int i = 0; i < 200; ++i) run.push_back(SysRandom(0));
  EXPECT_EQ(SysRandom(12345), first);
  for (int i = 0; i < 200; ++i) {
    Int16 r = SysRandom(0);
    EXPECT_EQ(r, run[i]);
    EXPECT_GE(r, 0);
  }
}

class StringResources : public DataMgrFixture {};

TEST_F(StringResources, CopiedFromTheOpenResourceDatabases) {
  LocalID id = create("Strings", fourCC("rsrc"), fourCC("test"), true);
  DmOpenRef db = DmOpenDatabase(0, id, dmModeReadWrite);
  ASSERT_NE(db, nullptr);
  const char hello[] = "hello";
  MemHandle h = DmNewResource(db, fourCC("tSTR"), 1000, sizeof hello);
  ASSERT_EQ(DmWrite(MemHandleLock(h), 0, hello, sizeof hello), errNone);
  MemHandleUnlock(h);
  h = DmNewResource(db, fourCC("tSTR"), 1001, 3);  // not terminated inside the resource
  ASSERT_EQ(DmWrite(MemHandleLock(h), 0, "abc", 3), errNone);
  MemHandleUnlock(h);
  Char buf[16] = "junk";
  SysCopyStringResource(buf, 1000);
  EXPECT_STREQ(buf, "hello");
  SysCopyStringResource(buf, 1001);
  EXPECT_STREQ(buf, "");
  SysCopyStringResource(buf, 999);
  EXPECT_STREQ(buf, "");
}

TEST_F(StringResources, PointerArraysPointAtEachPackedString) {
  auto* packed = static_cast<Char*>(MemPtrNew(16));
  std::memcpy(packed, "one\0two\0\0three", 15);
  MemHandle h = SysFormPointerArrayToStrings(packed, 4);
  ASSERT_NE(h, 0u);
  ASSERT_EQ(MemHandleSize(h), 16u);
  auto* pointers = static_cast<UInt8*>(MemHandleLock(h));
  const char* expected[] = {"one", "two", "", "three"};
  for (int i = 0; i < 4; ++i) EXPECT_STREQ(static_cast<const char*>(fromEmu(get32(pointers + 4 * i))), expected[i]);
  MemHandleUnlock(h);
  MemHandleFree(h);
  EXPECT_EQ(SysFormPointerArrayToStrings(packed, 0), 0u);
  MemPtrFree(packed);
}

}  // namespace

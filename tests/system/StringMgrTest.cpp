// The String Manager calls on Palm Latin text.
#include <gtest/gtest.h>

#include <string>

#include "system/StringMgr.h"

namespace {

TEST(StringMgr, ComparisonsFollowThePalmLatinOrder) {
  struct Case {
    const char* a;
    const char* b;
    Int16 sensitive, caseless;
  } cases[] = {
      {"abc", "abc", 0, 0},
      {"abc", "abd", -1, -1},
      {"abc", "abcd", -1, -1},
      {"a", "A", -1, 0},     // lower case first, equal without case
      {"Z", "z", 1, 0},      // Z sorts after everything
      {"Z", "\xFF", 1, 1},   // y diaeresis before Z; caselessly y < z
      {"e", "\xE9", -1, 0},  // e acute right after e, the same letter caselessly
      {"\xE9", "f", -1, -1},
      {"Stra\xDFs", "STRASSE", -1, 1},  // t before T; sharp s after s
      {"", "a", -1, -1},
      {"10", "9", -1, -1},  // characters, not numbers
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StrCompare(c.a, c.b), c.sensitive) << c.a << " " << c.b;
    EXPECT_EQ(StrCompare(c.b, c.a), -c.sensitive) << c.b << " " << c.a;
    EXPECT_EQ(StrCaselessCompare(c.a, c.b), c.caseless) << c.a << " " << c.b;
  }
  EXPECT_EQ(StrCompare(nullptr, "a"), 1);
  EXPECT_EQ(StrCompare("a", nullptr), -1);
  EXPECT_EQ(StrCompare(nullptr, nullptr), 0);
}

TEST(StringMgr, NumbersToTextAndBack) {
  Char buf[12];
  EXPECT_STREQ(StrIToA(buf, 0), "0");
  EXPECT_STREQ(StrIToA(buf, -2147483647 - 1), "-2147483648");
  EXPECT_STREQ(StrIToH(buf, 255), "000000FF");
  EXPECT_STREQ(StrIToH(buf, 0xFFFFFFFF), "FFFFFFFF");
  struct Case {
    const char* text;
    Int32 value;
  } cases[] = {{"12", 12}, {"-12x", -12}, {"+7", 7}, {" 12", 0}, {"", 0}, {"-", 0}, {"4294967297", 1}};
  for (const Case& c : cases) EXPECT_EQ(StrAToI(c.text), c.value) << c.text;
  EXPECT_EQ(StrAToI(nullptr), 0);
}

TEST(StringMgr, CopyingJoiningAndSearching) {
  Char buf[32] = "old";
  EXPECT_EQ(StrCopy(buf, "ab"), buf);
  EXPECT_EQ(StrCat(buf, "cd"), buf);
  EXPECT_STREQ(buf, "abcd");
  EXPECT_EQ(StrLen(buf), 4);
  EXPECT_EQ(StrLen(nullptr), 0);
  StrCopy(buf, nullptr);
  EXPECT_STREQ(buf, "");
  const Char* s = "caf\xE9 au lait";
  EXPECT_EQ(StrChr(s, 0xFFE9), s + 3);  // a byte sign-extended to 16 bits
  EXPECT_EQ(StrChr(s, 0x00E9), s + 3);
  EXPECT_EQ(StrChr(s, 0), s + 12);
  EXPECT_EQ(StrChr(s, 0x0100), nullptr);
  EXPECT_EQ(StrStr(s, "lait"), s + 8);
  EXPECT_EQ(StrStr(s, ""), nullptr);
  EXPECT_EQ(StrStr(s, "laitue"), nullptr);
}

TEST(StringMgr, LowerCaseCoversTheLatinLetters) {
  Char buf[32];
  EXPECT_STREQ(StrToLower(buf, "ABC xyz 09 \xC0\xC9\xD6\xD7\xDE\x8A\x8C\x8E\x9F\xDF"),
               "abc xyz 09 \xE0\xE9\xF6\xD7\xFE\x9A\x9C\x9E\xFF\xDF");
}

}  // namespace

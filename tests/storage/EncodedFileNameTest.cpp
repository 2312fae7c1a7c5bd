#include <gtest/gtest.h>

#include <random>

#include "palm/FourCC.h"
#include "storage/EncodedFileName.h"

namespace {
std::string encoded(const char* name, UInt16 attr, UInt16 version, UInt32 creator, UInt32 type) {
  std::string out;
  FormEncodedFileName(name, attr, version, creator, type, out);
  return out;
}

TEST(EncodedFileName, WritesNamesAndFieldsAsLetters) {
  EXPECT_EQ(encoded("MemoDB", 0x0008, 1, fourCC("memo"), fourCC("DATA")), "MemoDB#aiaaabaagpgngfgnebfeebee.qvn");
  std::string name;
  EXPECT_EQ(encodeDatabaseName("A/B#1", name), 8u);
  EXPECT_EQ(name, "A%cpB##1");
  std::string number;
  EXPECT_EQ(encodeUnsigned16(0x1234, number), 4u);
  EXPECT_EQ(number, "debc");
  struct Case {
    const char* name;
    const char* expected;
  } cases[] = {{"100%", "100%%"},         {"a#", "a##"},
               {"x\\y", "x%fmy"},         {"q:*?", "q%dk%ck%dp"},
               {"\"<>|", "%cc%dm%do%hm"}, {"tab\there", "tab%ajhere"},
               {"caf\xE9", "caf\xE9"},    {"~ok!", "~ok!"}};
  for (const Case& c : cases) {
    std::string out;
    encodeDatabaseName(c.name, out);
    EXPECT_EQ(out, c.expected) << c.name;
  }
  // The open, dirty and stub bits never reach a file name.
  EXPECT_EQ(encoded("A", 0xFFFF, 0, 0, 0), encoded("A", 0x4FFF, 0, 0, 0));
  std::string backup;
  FormBackupFileName("A/B#1", backup);
  EXPECT_EQ(backup, "A%cpB##1.bak");
}

TEST(EncodedFileName, ArbitraryNamesAndFieldsSurviveTheRoundTrip) {
  std::mt19937 random(3);
  for (int i = 0; i < 5000; ++i) {
    char name[32] = {};
    size_t length = 1 + random() % 31;
    for (size_t j = 0; j < length; ++j) name[j] = static_cast<char>(1 + random() % 255);
    UInt16 attr = static_cast<UInt16>(random()) & 0x4FFF;
    UInt16 version = static_cast<UInt16>(random());
    UInt32 creator = static_cast<UInt32>(random());
    UInt32 type = static_cast<UInt32>(random());
    std::string file = encoded(name, attr, version, creator, type);
    EXPECT_EQ(file.find('/'), std::string::npos);
    Char back[32];
    UInt16 a, v;
    UInt32 c, t;
    ASSERT_TRUE(DecodeEncodedFileName(file.c_str(), back, &a, &v, &c, &t)) << file;
    ASSERT_STREQ(back, name);
    ASSERT_EQ(a, attr);
    ASSERT_EQ(v, version);
    ASSERT_EQ(c, creator);
    ASSERT_EQ(t, type);
  }
}

TEST(EncodedFileName, RefusesNamesThatAreNotOurs) {
  const char* bad[] = {
      "MemoDB.pdb",                                                     // no "#"
      "Memo%zzDB#aiaaabaagpgngfgnebfeebee.qvn",                         // "%" with letters beyond 'p'
      "Memo%aDB#aiaaabaagpgngfgnebfeebee.qvn",                          // "%" with one letter
      "0123456789012345678901234567890X#aaaaaaaaaaaaaaaaaaaaaaaa.qvn",  // 32 characters
      "MemoDB#aiaaabaagpgngfgnebfeeb.qvn",                              // type too short
      "MemoDB#aiaaabaagpgngfgnebfeebez.qvn",                            // 'z' in the type
      "#aiaaabaagpgngfgnebfeebee.qvn",                                  // no name
  };
  for (const char* file : bad) {
    Char name[32];
    EXPECT_FALSE(DecodeEncodedFileName(file, name, nullptr, nullptr, nullptr, nullptr)) << file;
  }
  Char name[32];
  EXPECT_TRUE(DecodeEncodedFileName("012345678901234567890123456789X#aaaaaaaaaaaaaaaaaaaaaaaa.qvn", name, nullptr,
                                    nullptr, nullptr, nullptr))
      << "31 characters fit";
}
}  // namespace

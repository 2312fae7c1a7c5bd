// The opcode table against the totals and the individual words the
// instruction forms name.
#include <gtest/gtest.h>
#include <map>
#include "emulator/core/OpcodeServed.h"
#include "emulator/core/OpcodeTable.h"

namespace {
using m68k::kUnserved;
using m68k::opcodeTable;

TEST(OpcodeTable, ListIsConsistent) {
  const auto& t = opcodeTable();
  EXPECT_EQ(t.badPatterns, 0u);
  EXPECT_EQ(t.conflicts, 0u) << "a word is claimed by two forms";
  EXPECT_EQ(t.missingHandlers, 0u) << "a handler number has words but no implementation";
}

TEST(OpcodeTable, Totals) {
  std::map<unsigned, unsigned> wordsPerHandler;
  unsigned served = 0;
  for (unsigned w = 0; w < 65536; ++w) {
    unsigned h = opcodeTable().handler[w];
    if (h == kUnserved) continue;
    ++served;
    ++wordsPerHandler[h];
    EXPECT_TRUE(M68KOpcodeServed(static_cast<UInt16>(w)));
  }
  EXPECT_EQ(served, 45120u);
  EXPECT_EQ(65536u - served, 20416u);
  EXPECT_EQ(wordsPerHandler.size(), 388u);
  EXPECT_EQ(wordsPerHandler.rbegin()->first, 387u);
}

struct HandlerWords {
  unsigned handler, words;
};

// Word counts the instruction forms state for their handlers.
TEST(OpcodeTable, WordsPerHandler) {
  const HandlerWords expected[] = {
      {29, 64},   {28, 128},  {32, 336},  {33, 672},  {34, 672},  {37, 360},  {41, 1890}, {42, 1890}, {43, 1890},
      {40, 2048}, {78, 28},   {85, 28},   {86, 28},   {200, 128}, {201, 64},  {199, 8},   {110, 42},  {99, 8},
      {101, 26},  {105, 28},  {26, 1},    {95, 1},    {72, 255},  {73, 1},    {76, 28},   {77, 28},   {6, 64},
      {7, 128},   {126, 45},  {127, 45},  {149, 42},  {22, 128},  {274, 64},  {279, 42},  {317, 8 * 45}, {318, 45},
      {321, 8 * 42}, {353, 45}, {347, 42}, {384, 45}, {194, 45}, {198, 42},
  };
  std::map<unsigned, unsigned> count;
  for (unsigned w = 0; w < 65536; ++w)
    if (opcodeTable().handler[w] != kUnserved) ++count[opcodeTable().handler[w]];
  for (const auto& e : expected) EXPECT_EQ(count[e.handler], e.words) << "H" << e.handler;
}

struct WordCase {
  UInt16 word;
  unsigned handler;  // kUnserved: left to the caller
};

TEST(OpcodeTable, IndividualWords) {
  const WordCase cases[] = {
      {0x4E75, 87},         {0x4E71, 304},        {0x4E77, 356},        {0x4E4F, kUnserved}, {0xA123, kUnserved},
      {0xF000, kUnserved},  {0x4AFC, kUnserved},  {0x4E40, kUnserved},  {0x4E55, kUnserved}, {0x4E56, 26},
      {0x4E57, kUnserved},  {0x4808, kUnserved},  {0x4A48, 192},        {0x4A08, kUnserved}, {0x4AC8, kUnserved},
      {0x49C0, 97},         {0x4C00, 387},        {0x42C0, 346},        {0x4380, kUnserved}, {0xE7D0, kUnserved},
      {0xE3D0, 272},        {0x60FF, 72},         {0x6000, 73},         {0x61FF, 74},        {0xD008, kUnserved},
      {0xD048, 7},          {0x043A, kUnserved},  {0x067C, kUnserved},  {0x0C3A, 126},       {0x0C3C, 126},
      {0x007C, kUnserved},  {0x003C, 343},        {0x4E60, kUnserved},  {0x4E73, kUnserved}, {0x4E76, kUnserved},
      {0x0108, kUnserved},  {0x4ED8, kUnserved},  {0x4EF9, 76},         {0x4EBC, kUnserved}, {0x5048, 22},
      {0x5008, kUnserved},  {0x50FA, kUnserved},  {0x50C8, 327},        {0xB108, 357},       {0xC180, kUnserved},
      {0x46FC, 351},        {0x40FA, kUnserved},  {0x4E7A, kUnserved},  {0x0E10, kUnserved}, {0x4848, kUnserved}, {0xC188, 200},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(opcodeTable().handler[c.word], c.handler) << std::hex << "word 0x" << c.word;
    EXPECT_EQ(M68KOpcodeServed(c.word), c.handler != kUnserved) << std::hex << "word 0x" << c.word;
  }
}
}  // namespace

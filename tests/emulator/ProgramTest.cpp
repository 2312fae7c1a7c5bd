// Whole C programs built for the 68000 at -O0, -O2 and -Os, run in the
// production core to the quit address, must give the same checksum as the
// same C built for the host.
#include <gtest/gtest.h>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>
#include "CoreFixture.h"

extern "C" {
uint32_t intmix_main(void);
uint32_t division_main(void);
uint32_t bits_main(void);
uint32_t structs_main(void);
uint32_t interp_main(void);
uint32_t strings_main(void);
uint32_t recursion_main(void);
}

namespace {
struct Program {
  const char* name;
  uint32_t (*host)(void);
};

const Program kPrograms[] = {{"intmix", intmix_main},   {"division", division_main}, {"bits", bits_main},
                             {"structs", structs_main}, {"interp", interp_main},     {"strings", strings_main},
                             {"recursion", recursion_main}};
const char* const kLevels[] = {"O0", "O2", "Os"};

constexpr UInt32 kImageBytes = 0x40000;  // image, zero data and stack

std::vector<UInt8> readImage(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<UInt8>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Runs the image as a routine: PC at its first byte, the quit address as the
// return address. Returns D0, or fails the test on any other exit.
uint32_t runImage(const std::vector<UInt8>& image) {
  auto* memory = static_cast<UInt8*>(Arena::allocate(kImageBytes));
  EXPECT_NE(memory, nullptr);
  if (!memory) return 0;
  std::copy(image.begin(), image.end(), memory);
  auto* lowMemory = static_cast<UInt8*>(Arena::allocate(kLowMemoryBlockBytes));
  M68KState st{};
  st.lowMemBase = toEmu(lowMemory);
  st.lcdStart = 0xFFFFFFFF;  // no frame buffer
  st.pc = toEmu(memory);
  st.A(7) = toEmu(memory) + kImageBytes - 4;
  set32(memory + kImageBytes - 4, kM68KQuitAddress);
  M68KAccelStatus status = M68KAccelerate(&st);
  EXPECT_EQ(status, kM68KQuit) << "stopped at offset 0x" << std::hex << st.pc - toEmu(memory) << " on word 0x"
                               << (status == kM68KUnimplemented ? get16(memory + (st.pc - toEmu(memory))) : 0);
  EXPECT_EQ(st.A(7), toEmu(memory) + kImageBytes);
  Arena::release(lowMemory);
  Arena::release(memory);
  return st.D(0);
}

class Programs : public testing::TestWithParam<Program> {};

TEST_P(Programs, GiveTheHostResultAtEveryOptimisationLevel) {
  const Program& p = GetParam();
  uint32_t expected = p.host();
  for (const char* level : kLevels) {
    std::string path = std::string(QUORVANE_M68K_PROGRAMS) + "/" + p.name + "-" + level + ".bin";
    std::vector<UInt8> image = readImage(path);
    ASSERT_FALSE(image.empty()) << "missing 68000 image " << path;
    ASSERT_LT(image.size(), kImageBytes / 2);
    EXPECT_EQ(runImage(image), expected) << p.name << " at -" << level;
  }
}

INSTANTIATE_TEST_SUITE_P(Core, Programs, testing::ValuesIn(kPrograms),
                         [](const testing::TestParamInfo<Program>& info) { return std::string(info.param.name); });
}  // namespace

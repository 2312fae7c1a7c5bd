// The table of system traps: one row per trap or selector, numbers where the
// dispatcher expects them, and the argument offsets and result registers that
// the calling convention gives the prototypes.
#include <gtest/gtest.h>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>
#include "palm/SystemTraps.h"

namespace {

const SystemTrapRow* findRow(std::string_view name) {
  for (const SystemTrapRow& row : SystemTrapRows())
    if (row.name == name) return &row;
  return nullptr;
}

TEST(SystemTraps, EachTrapAndSelectorHasOneRow) {
  std::set<std::pair<UInt16, UInt16>> seen;
  for (const SystemTrapRow& row : SystemTrapRows()) {
    EXPECT_TRUE(seen.insert({row.trap, row.selector}).second) << row.name;
    EXPECT_GE(row.trap, 0xA004) << row.name;
    EXPECT_LE(row.trap, 0xA476) << row.name;
    EXPECT_LE(TrapFrameSize(row), 64u) << row.name;
  }
  EXPECT_GT(seen.size(), 800u);
}

TEST(SystemTraps, SelectorRowsBelongToDispatcherTraps) {
  std::set<UInt16> dispatchers;
  for (const TrapDispatcherRow& d : TrapDispatcherRows()) dispatchers.insert(d.trap);
  for (const SystemTrapRow& row : SystemTrapRows())
    EXPECT_EQ(dispatchers.count(row.trap) == 1, row.source != SelectorSource::None) << row.name;
  EXPECT_EQ(findRow("WinGetScalingMode")->source, SelectorSource::D2Long);
  EXPECT_EQ(findRow("HsGetPhoneLibrary")->source, SelectorSource::StackWord);
  EXPECT_EQ(findRow("TxtCompare")->source, SelectorSource::D2Word);
}

TEST(SystemTraps, FindsRowsByTrapAndSelector) {
  EXPECT_EQ(FindSystemTrap(0xA0C7)->name, "StrLen");
  EXPECT_EQ(FindSystemTrap(0xA0C7, 5)->name, "StrLen") << "ordinary traps ignore the selector";
  EXPECT_EQ(FindSystemTrap(0xA2AB, 20)->name, "TxtCompare");
  EXPECT_EQ(FindSystemTrap(0xA3EC, 0)->name, "BmpGetNextBitmapAnyDensity");
  EXPECT_EQ(FindSystemTrap(0xA2AB, 25), nullptr);
  EXPECT_EQ(FindSystemTrap(0xA006), nullptr);
  EXPECT_EQ(FindSystemTrap(0xA477), nullptr);
}

struct NumberCase {
  UInt16 trap;
  const char* name;
};

void PrintTo(const NumberCase& c, std::ostream* os) { *os << c.name; }

class TrapNumber : public testing::TestWithParam<NumberCase> {};

TEST_P(TrapNumber, NamesItsFunction) {
  const SystemTrapRow* row = findRow(GetParam().name);
  ASSERT_NE(row, nullptr) << GetParam().name;
  EXPECT_EQ(row->trap, GetParam().trap);
}

INSTANTIATE_TEST_SUITE_P(
    Spots, TrapNumber,
    testing::Values(NumberCase{0xA004, "MemCardInfo"}, NumberCase{0xA07F, "DmCreateDatabaseFromImage"},
                    NumberCase{0xA08F, "SysAppStartup"}, NumberCase{0xA090, "SysAppExit"},
                    NumberCase{0xA0C7, "StrLen"}, NumberCase{0xA11D, "EvtGetEvent"},
                    NumberCase{0xA1F5, "TblSetColumnSpacing"}, NumberCase{0xA220, "WinDrawChars"},
                    NumberCase{0xA2A9, "DlkGetSyncInfo"}, NumberCase{0xA2DE, "StrPrintF"},
                    NumberCase{0xA312, "PrgStartDialogV31"}, NumberCase{0xA366, "PrgStartDialog"},
                    NumberCase{0xA45B, "SndStreamCreate"}, NumberCase{0xA458, "FldSetMaxVisibleLines"}));

struct FrameCase {
  const char* name;
  TrapResult result;
  std::vector<std::size_t> offsets;
};

void PrintTo(const FrameCase& c, std::ostream* os) { *os << c.name; }

class TrapFrame : public testing::TestWithParam<FrameCase> {};

TEST_P(TrapFrame, PlacesArgumentsAtTheirOffsets) {
  const SystemTrapRow* row = findRow(GetParam().name);
  ASSERT_NE(row, nullptr) << GetParam().name;
  EXPECT_EQ(row->result, GetParam().result);
  std::vector<std::size_t> offsets;
  for (std::size_t i = 0; i < row->argCount; ++i) offsets.push_back(TrapArgOffset(*row, i));
  EXPECT_EQ(offsets, GetParam().offsets);
}

INSTANTIATE_TEST_SUITE_P(
    Prototypes, TrapFrame,
    testing::Values(
        FrameCase{"MemHeapFreeBytes", TrapResult::Word, {0, 2, 6}},
        FrameCase{"MemCardInfo", TrapResult::Word, {0, 2, 6, 10, 14, 18, 22, 26}},
        FrameCase{"MemStoreInfo", TrapResult::Word, {0, 2, 4, 8, 12, 16, 20, 24, 28, 32, 36}},
        FrameCase{"MemMove", TrapResult::Word, {0, 4, 8}},
        FrameCase{"MemSet", TrapResult::Word, {0, 4, 8}},
        FrameCase{"DmDatabaseInfo", TrapResult::Word, {0, 2, 6, 10, 14, 18, 22, 26, 30, 34, 38, 42, 46}},
        FrameCase{"DmOpenDatabaseInfo", TrapResult::Word, {0, 4, 8, 12, 16, 20}},
        FrameCase{"DmAttachRecord", TrapResult::Word, {0, 4, 8, 12}},
        FrameCase{"DmFindRecordByID", TrapResult::Word, {0, 4, 8}},
        FrameCase{"DmGet1Resource", TrapResult::Handle, {0, 4}},
        FrameCase{"DmOpenDatabase", TrapResult::Ptr, {0, 2, 6}},
        FrameCase{"SysAppLaunch", TrapResult::Word, {0, 2, 6, 8, 10, 14}},
        FrameCase{"SysQSort", TrapResult::Void, {0, 4, 6, 8, 12}},
        FrameCase{"SysBatteryInfoV20", TrapResult::Word, {0, 2, 6, 10, 14, 18}},
        FrameCase{"SlkOpenSocket", TrapResult::Word, {0, 2, 6}},
        FrameCase{"ErrDisplayFileLineMsg", TrapResult::Void, {0, 4, 6}},
        FrameCase{"FplAdd", TrapResult::Float, {4, 12}},
        FrameCase{"StrCompare", TrapResult::Int16, {0, 4}},
        FrameCase{"CategorySelectV10", TrapResult::Bool, {0, 4, 8, 10, 12, 14, 18}},
        FrameCase{"ClipboardGetItem", TrapResult::Handle, {0, 2}},
        FrameCase{"FntCharsInWidth", TrapResult::Void, {0, 4, 8, 12}},
        FrameCase{"FrmGetObjectPosition", TrapResult::Void, {0, 4, 6, 10}},
        FrameCase{"TblFindRowData", TrapResult::Bool, {0, 4, 8}},
        FrameCase{"WinCreateWindow", TrapResult::Ptr, {0, 4, 6, 8, 10}},
        FrameCase{"WinCreateOffscreenWindow", TrapResult::Ptr, {0, 2, 4, 6}},
        FrameCase{"WinCopyRectangle", TrapResult::Void, {0, 4, 8, 12, 14, 16}},
        FrameCase{"AlmGetAlarm", TrapResult::Long, {0, 2, 6}},
        FrameCase{"SelectTimeV33", TrapResult::Bool, {0, 4, 8, 10, 14}},
        FrameCase{"DateToAscii", TrapResult::Void, {0, 2, 4, 6, 8}},
        FrameCase{"TimeToAscii", TrapResult::Void, {0, 2, 4, 6}},
        FrameCase{"FtrGetByIndex", TrapResult::Word, {0, 2, 4, 8, 12}},
        FrameCase{"KeyRates", TrapResult::Word, {0, 2, 6, 10, 14}},
        FrameCase{"DlkGetSyncInfo", TrapResult::Word, {0, 4, 8, 12, 16, 20}},
        FrameCase{"TxtConvertEncoding", TrapResult::Word, {0, 2, 6, 10, 14, 16, 20, 24, 26, 30}},
        FrameCase{"TxtTransliterate", TrapResult::Word, {0, 4, 6, 10, 14}},
        FrameCase{"VFSCustomControl", TrapResult::Word, {0, 4, 8, 10, 14}},
        FrameCase{"VFSFileDBInfo", TrapResult::Word, {0, 4, 8, 12, 16, 20, 24, 28, 32, 36, 40, 44, 48}},
        FrameCase{"VFSImportDatabaseFromFileCustom", TrapResult::Word, {0, 2, 6, 10, 14, 18}},
        FrameCase{"HsOpenDialNumberDialog", TrapResult::Void, {2, 6, 10}},
        FrameCase{"SrmReceive", TrapResult::Long, {0, 2, 6, 10, 14}},
        FrameCase{"SrmCustomControl", TrapResult::Word, {0, 2, 4, 8, 12}},
        FrameCase{"BmpCreateBitmapV3", TrapResult::Ptr, {0, 4, 6, 10}},
        FrameCase{"FrmSetLabelFont", TrapResult::Void, {0, 4, 6}},
        FrameCase{"LmGetLocaleSetting", TrapResult::Word, {0, 2, 4, 8}},
        FrameCase{"FileReadLow", TrapResult::Int32, {0, 4, 8, 12, 14, 18, 22}},
        FrameCase{"FileControl", TrapResult::Word, {0, 2, 6, 10}},
        FrameCase{"SysGetROMToken", TrapResult::Word, {0, 2, 6, 10}},
        FrameCase{"SndStreamCreate", TrapResult::Word, {0, 4, 6, 10, 12, 14, 18, 22, 26}},
        FrameCase{"SndStreamCreateExtended", TrapResult::Word, {0, 4, 6, 10, 14, 16, 18, 22, 26, 30}},
        FrameCase{"WinScreenMode", TrapResult::Word, {0, 2, 6, 10, 14}},
        FrameCase{"SelectTimeZone", TrapResult::Bool, {0, 4, 8, 12, 14}},
        FrameCase{"ExgSend", TrapResult::Long, {0, 4, 8, 12}}),
    [](const testing::TestParamInfo<FrameCase>& info) { return std::string(info.param.name); });

}  // namespace

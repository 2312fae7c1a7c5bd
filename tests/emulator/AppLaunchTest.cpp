// The application loop and SysAppLaunch with small applications of a few
// instructions: each logs its id, the launch code and the memory owner of its
// launch, and may ask once for a switch with SysUIAppSwitch.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "emulator/LaunchFixture.h"
#include "emulator/launch/LaunchOneShot.h"
#include "emulator/launch/StartupResources.h"
#include "emulator/launch/SysAppLaunch.h"
#include "palm/Address.h"
#include "storage/memorymgr.h"
#include "support/RecordingBackend.h"

namespace {

class AppLaunch : public LaunchFixture {
 protected:
  void SetUp() override {
    LaunchFixture::SetUp();
    log = static_cast<UInt8*>(MemPtrNew(256));
    cursor = static_cast<UInt8*>(MemPtrNew(4));
    flags = static_cast<UInt8*>(MemPtrNew(8));
    set32(cursor, toEmu(log));
    std::memset(flags, 0, 8);
  }

  static UInt16 hi(UInt32 v) { return static_cast<UInt16>(v >> 16); }
  static UInt16 lo(UInt32 v) { return static_cast<UInt16>(v); }

  // The instructions that log "<id><cmd><owner>" of the running launch.
  std::vector<UInt16> logRun(char id) const {
    const UInt32 c = toEmu(cursor), info = toEmu(GetAppGlobals()->currentInfo);
    return {0x207C,   hi(c),
            lo(c),                              // movea.l #cursor,a0
            0x2250,                             // movea.l (a0),a1
            0x12FC,   static_cast<UInt16>(id),  // move.b #id,(a1)+
            0x247C,   hi(info),
            lo(info),          // movea.l #currentInfo,a2
            0x2452,            // movea.l (a2),a2
            0x12EA,   0x0001,  // move.b 1(a2),(a1)+   cmd
            0x12EA,   0x001D,  // move.b 29(a2),(a1)+  memOwnerID
            0x2089};           // move.l a1,(a0)
  }

  LocalID plant(const char* name, std::vector<UInt16> code) {
    std::vector<UInt8> bytes;
    for (UInt16 w : code) {
      bytes.push_back(static_cast<UInt8>(w >> 8));
      bytes.push_back(static_cast<UInt8>(w));
    }
    return makeApp(name, {{FourCCs::code, 1, bytes}});
  }

  // An application that logs its run and, while its switch flag is set,
  // clears it and asks for the switch that setSwitch gave it.
  LocalID plantApp(const char* name, char id) {
    const UInt32 flag = toEmu(flags + id % 8);
    std::vector<UInt16> code = logRun(id);
    code.insert(code.end(), {0x4A39, hi(flag), lo(flag),  // tst.b flag
                             0x671C,                      // beq.s done
                             0x4239, hi(flag), lo(flag),  // clr.b flag
                             0x42A7,                      // clr.l -(sp)      cmdPBP
                             0x3F3C, 0,                   // move.w #cmd,-(sp)
                             0x2F3C, 0, 0,                // move.l #dbID,-(sp)
                             0x4267,                      // clr.w -(sp)      card
                             0x4E4F, 0xA0A7,              // SysUIAppSwitch
                             0x4FEF, 0x000C,              // lea 12(sp),sp
                             0x4E75});                    // done: rts
    return plant(name, code);
  }

  // An application that logs its run, launches itself again with a sync
  // notification (no reset launch), and logs "E" and the error it got.
  LocalID plantRecursiveApp(const char* name, char id) {
    const UInt32 c = toEmu(cursor), scratch = toEmu(flags);
    std::vector<UInt16> code = logRun(id);
    code.insert(code.end(), {0x4879, hi(scratch), lo(scratch),  // pea scratch         resultP
                             0x42A7,                            // clr.l -(sp)         cmdPBP
                             0x3F3C, 0x0003,                    // move.w #3,-(sp)     cmd
                             0x4267,                            // clr.w -(sp)         flags
                             0x2F3C, 0,           0,            // move.l #dbID,-(sp)
                             0x4267,                            // clr.w -(sp)         card
                             0x4E4F, 0xA08E,                    // SysAppLaunch
                             0x4FEF, 0x0012,                    // lea 18(sp),sp
                             0x207C, hi(c),       lo(c),        // movea.l #cursor,a0
                             0x2250,                            // movea.l (a0),a1
                             0x12FC, 0x0045,                    // move.b #'E',(a1)+
                             0x12C0, 0x12C0,                    // move.b d0,(a1)+ twice
                             0x2089,                            // move.l a1,(a0)
                             0x4E75});                          // rts
    LocalID app = plant(name, code);
    patchCode(app, kRecursionTargetOffset, app);
    return app;
  }

  static constexpr UInt32 kRecursionTargetOffset = 46;

  void patchCode(LocalID app, UInt32 offset, UInt32 value, UInt32 bytes = 4) {
    DmOpenRef db = DmOpenDatabase(0, app, dmModeReadWrite);
    MemHandle code = DmGet1Resource(FourCCs::code, 1);
    UInt8 be[4] = {UInt8(value >> 24), UInt8(value >> 16), UInt8(value >> 8), UInt8(value)};
    EXPECT_EQ(DmWrite(MemHandleLock(code), offset, be + 4 - bytes, bytes), errNone);
    MemHandleUnlock(code);
    DmReleaseResource(code);
    DmCloseDatabase(db);
  }

  // Where the switch's code and target sit in the planted code.
  static constexpr UInt32 kSwitchCmdOffset = 48;
  static constexpr UInt32 kSwitchTargetOffset = 52;

  // Sets the switch app asks for and arms it for one run.
  void setSwitch(LocalID app, char id, LocalID target, UInt16 cmd = 0) {
    patchCode(app, kSwitchCmdOffset, cmd, 2);
    patchCode(app, kSwitchTargetOffset, target);
    flags[id % 8] = 1;
  }

  // The log as "A5.4 A0.4 ...": id, launch code and memory owner of each run.
  std::string runs() const {
    std::string s;
    for (const UInt8* p = log; p < static_cast<UInt8*>(fromEmu(get32(cursor))); p += 3)
      s += (s.empty() ? "" : " ") + std::string(1, static_cast<char>(p[0])) + std::to_string(p[1]) + "." +
           std::to_string(p[2]);
    return s;
  }

  UInt8* log = nullptr;
  UInt8* cursor = nullptr;
  UInt8* flags = nullptr;
};

TEST_F(AppLaunch, TheFirstLaunchInTheProcessIsPrecededByTheResetLaunch) {
  plantApp("A", 'A');
  EXPECT_EQ(LaunchOneShot(0, "A"), errNone);
  EXPECT_EQ(runs(), "A5.4 A0.4");
  EXPECT_EQ(LaunchOneShot(0, "A"), errNone);
  EXPECT_EQ(runs(), "A5.4 A0.4 A0.4") << "only once per process";
  EXPECT_EQ(GetLauncheeDepth(), 3) << "no application runs";
}

TEST_F(AppLaunch, ASwitchRunsTheTargetThenRelaunchesTheApplicationThatAsked) {
  LocalID b = plantApp("B", 'B');
  setSwitch(plantApp("A", 'A'), 'A', b);
  EXPECT_EQ(LaunchOneShot(0, "A"), errNone);
  EXPECT_EQ(runs(), "A5.4 A0.4 B5.4 B0.4 A0.4");
}

TEST_F(AppLaunch, ASwitchToTheRunningApplicationWithItsCodeRunsItOnceMoreAndEnds) {
  LocalID a = plantApp("A", 'A');
  setSwitch(a, 'A', a);
  EXPECT_EQ(LaunchOneShot(0, "A"), errNone);
  EXPECT_EQ(runs(), "A5.4 A0.4 A0.4");
}

TEST_F(AppLaunch, ASyncNotifyLaunchIsNotPrecededByTheResetLaunchNorCounted) {
  LocalID a = plantApp("A", 'A');
  UInt32 result = 0xFFFF;
  EXPECT_EQ(SysAppLaunch(0, a, 0, sysAppLaunchCmdSyncNotify, 0, &result), errNone);
  EXPECT_EQ(runs(), "A3.4");
  EXPECT_EQ(SysAppLaunch(0, a, sysAppLaunchFlagNewGlobals, sysAppLaunchCmdNormalLaunch, 0, &result), errNone);
  EXPECT_EQ(runs(), "A3.4 A5.4 A0.4");
}

TEST_F(AppLaunch, ThirteenNestedLaunchesAreTheMost) {
  LocalID a = plantRecursiveApp("A", 'A');
  UInt32 result = 0;
  EXPECT_EQ(SysAppLaunch(0, a, 0, sysAppLaunchCmdSyncNotify, 0, &result), errNone);
  std::string expected;
  for (int owner = 4; owner <= 16; ++owner) expected += "A3." + std::to_string(owner) + " ";
  expected += "E8.8";  // 0x0508: out of owner IDs
  for (int level = 0; level < 12; ++level) expected += " E0.0";
  EXPECT_EQ(runs(), expected);
  EXPECT_EQ(GetLauncheeDepth(), 3);
}

TEST_F(AppLaunch, OutsideAnyLaunchTheApplicationCallsAnswerNone) {
  UInt16 card = 7;
  LocalID id = 7;
  EXPECT_EQ(SysCurAppDatabase(&card, &id), errNone);
  EXPECT_EQ(card, 0);
  EXPECT_EQ(id, 0u);
  EmuAddr ui = 1, current = 1;
  EXPECT_EQ(SysGetAppInfo(&ui, &current), nullptr);
  EXPECT_EQ(ui, 0u);
  EXPECT_EQ(current, 0u);
  EXPECT_FALSE(AppSwitchPending());
  EXPECT_EQ(SysUIAppSwitchByName(0, "Elsewhere", 0, 0), errNone);
  EXPECT_TRUE(AppSwitchPending());
}

int stopEvents = 0;

TEST_F(AppLaunch, SwitchRequestsAndQuitPostStopEventsAndQuitIsFinal) {
  stopEvents = 0;
  SetAppStopEventPoster([] { ++stopEvents; });
  EXPECT_EQ(SysUIAppSwitchByName(0, "First", 0, 0), errNone);
  EXPECT_EQ(stopEvents, 1);
  EXPECT_STREQ(GetAppGlobals()->pending.name, "First");
  Quit();
  EXPECT_EQ(stopEvents, 1 + 13) << "one for each possible nested launch";
  EXPECT_TRUE(AppSwitchPending());
  EXPECT_EQ(SysUIAppSwitchByName(0, "Second", 0, 0), errNone);
  EXPECT_EQ(stopEvents, 14) << "ignored once the loop is ending";
  EXPECT_STREQ(GetAppGlobals()->pending.name, "First");
  SetAppStopEventPoster(nullptr);
}

TEST_F(AppLaunch, WhatCannotBeLaunchedIsReported) {
  RecordedAlerts alerts;
  EXPECT_EQ(LaunchOneShot(0, "Nowhere"), dmErrCantFind);
  ASSERT_EQ(alerts.alerts().size(), 1u);
  EXPECT_EQ(alerts.alerts()[0].second, "Unable to find application Nowhere. Launch failed.");

  LocalID noCode = makeApp("NoCode", {{FourCCs::pref, 0, longs({0x00000000})}});
  UInt32 result = 0;
  EXPECT_EQ(SysAppLaunch(0, noCode, 0, sysAppLaunchCmdNormalLaunch, 0, &result), sysErrInvalidStartupResources);
  EXPECT_EQ(runs(), "");
}

// A stack size no memory can hold, from a damaged 'pref' resource, fails the
// launch with an error; the process and the next launch go on.
TEST_F(AppLaunch, AStackTooLargeToHaveFailsOnlyThatLaunch) {
  LocalID greedy = makeApp("Greedy", {{FourCCs::code, 1, words({0x4E75})},
                                      {FourCCs::pref, 0, {0x00, 0x1E, 0xFF, 0xFF, 0xFF, 0x00, 0, 0, 0, 0}}});
  UInt32 result = 0;
  EXPECT_EQ(SysAppLaunch(0, greedy, 0, sysAppLaunchCmdNormalLaunch, 0, &result), memErrNotEnoughSpace);
  LocalID modest = plantApp("Modest", 'm');
  EXPECT_EQ(SysAppLaunch(0, modest, 0, sysAppLaunchCmdNormalLaunch, 0, &result), errNone);
  EXPECT_NE(runs().find('m'), std::string::npos);
}

}  // namespace

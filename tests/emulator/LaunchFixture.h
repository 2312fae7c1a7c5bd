// The storage managers with application launch and the emulator up, and
// helpers that make application resource databases in memory: whatever
// 'code', 'data' and 'pref' resources a test needs, with its own bytes.
#pragma once
#include <initializer_list>
#include <vector>

#include "emulator/context/M68KGlobals.h"
#include "emulator/launch/AppGlobals.h"
#include "emulator/trap/TrapDispatcher.h"
#include "palm/Endian.h"
#include "storage/DataMgrFixture.h"
#include "storage/sharedlibraries.h"

class LaunchFixture : public DataMgrFixture {
 protected:
  void SetUp() override {
    DataMgrFixture::SetUp();
    ASSERT_TRUE(AppInit());
    ASSERT_TRUE(M68KInit());
    ASSERT_TRUE(SharedLibrariesInit());
    TrapDispatcher::Init();
  }

  void TearDown() override {
    AppTerminate();
    DataMgrFixture::TearDown();
  }

  struct Resource {
    UInt32 type;
    UInt16 id;
    std::vector<UInt8> bytes;
  };

  // A resource database of type 'appl' holding the given resources.
  static LocalID makeApp(const char* name, std::initializer_list<Resource> resources, UInt32 creator = fourCC("test")) {
    LocalID id = create(name, FourCCs::appl, creator, true);
    DmOpenRef db = DmOpenDatabase(0, id, dmModeReadWrite);
    EXPECT_NE(db, nullptr);
    for (const Resource& r : resources) {
      MemHandle h = DmNewResource(db, r.type, r.id, static_cast<UInt32>(r.bytes.size()));
      EXPECT_NE(h, 0u);
      if (!r.bytes.empty()) {
        EXPECT_EQ(DmWrite(MemHandleLock(h), 0, r.bytes.data(), static_cast<UInt32>(r.bytes.size())), errNone);
      }
      MemHandleUnlock(h);
      DmReleaseResource(h);
    }
    DmCloseDatabase(db);
    return id;
  }

  // 68K instruction words as resource bytes.
  static std::vector<UInt8> words(std::initializer_list<UInt16> ws) {
    std::vector<UInt8> out;
    for (UInt16 w : ws) {
      out.push_back(static_cast<UInt8>(w >> 8));
      out.push_back(static_cast<UInt8>(w));
    }
    return out;
  }

  static std::vector<UInt8> longs(std::initializer_list<UInt32> ls) {
    std::vector<UInt8> out;
    for (UInt32 l : ls)
      for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<UInt8>(l >> shift));
    return out;
  }
};

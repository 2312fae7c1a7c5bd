// A Palm application of our own, built by the toolchain, loaded for tests
// that call its functions one by one on an emulation context: its code and
// globals are set up as a launch sets them up, with the storage managers, the
// emulator globals and the trap dispatcher running.
#pragma once
#include <gtest/gtest.h>
#include <string>
#include "emulator/context/M68K.h"
#include "emulator/context/M68KGlobals.h"
#include "emulator/launch/StartupData.h"
#include "emulator/trap/TrapDispatcher.h"
#include "host/HostMemory.h"
#include "palm/Address.h"
#include "palm/Endian.h"
#include "palm/FourCC.h"
#include "palm/PdbFormat.h"
#include "prc/ElfImage.h"
#include "storage/DATAMGR.h"
#include "storage/StorageSeams.h"
#include "storage/memorymgr.h"
#include "storage/sharedlibraries.h"
#include "support/PalmApps.h"
#include "support/TempDir.h"

class PalmAppFixture : public testing::Test {
 protected:
  static constexpr UInt32 kStackBytes = 0x4000;

  void SetUp() override {
    resetStorageSeams();
    ASSERT_TRUE(MemoryMgrInit());
    ASSERT_TRUE(DataMgrInit());
    ASSERT_TRUE(M68KInit());
    ASSERT_TRUE(SharedLibrariesInit());
    TrapDispatcher::Init();
    cpu = static_cast<M68K*>(M68Kcontext::construct(kStackBytes));
    ASSERT_NE(cpu, nullptr);
  }

  void TearDown() override {
    delete cpu;
    while (DmOpenRef ref = DmNextOpenDatabase(nullptr)) DmCloseDatabase(ref);
    FREE(code);
    FREE(globals);
    DataMgrTerminate();
    MemTerminate();
    resetStorageSeams();
  }

  // Loads apps/<name>.prc: 'code' 1 into the arena, globals unpacked from 'data' 0, A5 set.
  void loadApp(const std::string& name) {
    std::string error;
    ASSERT_TRUE(elf.load(ReadFileBytes(PalmAppsPath(name + ".elf")), error)) << error;
    PdbDatabase image;
    ASSERT_TRUE(ReadPdbImage(ReadFileBytes(PalmAppsPath(name + ".prc")), image, error)) << error;
    const std::vector<UInt8>& code1 = resource(image, FourCCs::code, 1);
    code = static_cast<UInt8*>(MALLOC(code1.size()));
    std::copy(code1.begin(), code1.end(), code);
    Code0Sizes sizes;
    ASSERT_TRUE(ReadCode0Sizes(resource(image, FourCCs::code, 0), sizes));
    globals = static_cast<UInt8*>(MALLOC(sizes.below + sizes.above));
    EmuAddr a5 = toEmu(globals) + sizes.below;
    StartupDataResult r = UnpackStartupData(resource(image, FourCCs::data, 0),
                                            {{globals, sizes.below + sizes.above}, sizes.below, a5, toEmu(code)});
    ASSERT_TRUE(r.ok) << r.reason;
    cpu->setA5(a5);
  }

  EmuAddr functionAddress(const char* function) {
    auto offset = elf.symbolValue(function);
    EXPECT_TRUE(offset) << function << " is not in the application";
    return toEmu(code) + offset.value_or(0);
  }

  // Runs one function of the application to its return; its result is D0.
  UInt32 callFunction(const char* function) {
    cpu->call(functionAddress(function), 0);
    return cpu->getD0Long();
  }

  // A few instruction words in a chunk of their own; returns their address.
  EmuAddr plantCode(std::initializer_list<UInt16> words) {
    auto* p = static_cast<UInt8*>(MemPtrNew(static_cast<UInt32>(2 * words.size())));
    UInt8* at = p;
    for (UInt16 w : words) {
      set16(at, w);
      at += 2;
    }
    return toEmu(p);
  }

  M68K* cpu = nullptr;
  ElfImage elf;
  UInt8* code = nullptr;
  UInt8* globals = nullptr;
  TempHome home;

 private:
  static const std::vector<UInt8>& resource(const PdbDatabase& image, UInt32 type, UInt16 id) {
    for (const PdbResource& r : image.resources)
      if (r.type == type && r.id == id) return r.data;
    ADD_FAILURE() << "resource missing";
    static const std::vector<UInt8> none;
    return none;
  }
};

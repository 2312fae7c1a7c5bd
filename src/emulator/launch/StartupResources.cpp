#include "emulator/launch/StartupResources.h"

#include <algorithm>
#include <cstring>

#include "emulator/launch/StartupData.h"
#include "host/Reporting.h"
#include "palm/Address.h"
#include "palm/Endian.h"
#include "palm/FourCC.h"
#include "storage/DATAMGR.h"
#include "storage/memorymgr.h"

namespace {

constexpr UInt32 kSpareBytes = 256;
// Far beyond any real application; keeps the block size inside 32 bits.
constexpr std::uint64_t kLargestGlobalsBlock = 0x01000000;
constexpr UInt32 kPrefStackSizeOffset = 2;

// A resource of the application's own database, locked while it is used.
class LockedResource {
 public:
  LockedResource(DmOpenRef db, UInt32 type, UInt16 id) {
    UInt16 index = DmFindResource(db, type, id, 0);
    if (index == 0xFFFF) return;
    handle_ = DmGetResourceIndex(db, index);
    if (!handle_) return;
    data_ = static_cast<const UInt8*>(MemHandleLock(handle_));
    QV_ASSERT(data_ != nullptr);
    size_ = MemHandleSize(handle_);
  }
  ~LockedResource() {
    if (!handle_) return;
    MemHandleUnlock(handle_);
    DmReleaseResource(handle_);
  }
  LockedResource(const LockedResource&) = delete;
  LockedResource& operator=(const LockedResource&) = delete;

  explicit operator bool() const { return handle_ != 0; }
  std::span<const UInt8> bytes() const { return {data_, size_}; }

 private:
  MemHandle handle_ = 0;
  const UInt8* data_ = nullptr;
  UInt32 size_ = 0;
};

Err invalid() {
  WarningF("Invalid global initialization.");
  return sysErrInvalidStartupResources;
}

}  // namespace

Err createGlobals(DmOpenRef db, const void* codeStart, UInt32* a5Out, void** globalsBlockOut) {
  *a5Out = 0;
  *globalsBlockOut = nullptr;
  LockedResource code0(db, FourCCs::code, 0);
  if (!code0) return errNone;
  Code0Sizes sizes;
  if (!ReadCode0Sizes(code0.bytes(), sizes)) return invalid();
  std::uint64_t blockSize = std::uint64_t{sizes.above} + sizes.below + kSpareBytes;
  if (blockSize > kLargestGlobalsBlock) return invalid();
  auto* block = static_cast<UInt8*>(MemPtrNew(static_cast<UInt32>(blockSize)));
  if (!block) return invalid();
  std::memset(block, 0, blockSize);
  const UInt32 a5 = toEmu(block) + sizes.below;

  if (LockedResource data0(db, FourCCs::data, 0); data0) {
    GlobalsWorld world{{block, static_cast<std::size_t>(blockSize)}, sizes.below, a5, toEmu(codeStart)};
    StartupDataResult r = UnpackStartupData(data0.bytes(), world);
    if (!r.ok) {
      MemPtrFree(block);
      return invalid();
    }
  }
  *a5Out = a5;
  *globalsBlockOut = block;
  return errNone;
}

UInt32 AppStackSize(DmOpenRef db) {
  LockedResource pref(db, FourCCs::pref, 0);
  if (!pref || pref.bytes().size() < kPrefStackSizeOffset + 4) return kMinimumAppStackSize;
  return std::max(kMinimumAppStackSize, get32(pref.bytes().data() + kPrefStackSizeOffset));
}

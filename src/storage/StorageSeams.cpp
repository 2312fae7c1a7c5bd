#include "storage/StorageSeams.h"

#include <ctime>

#include "host/Reporting.h"

namespace {
// 1 January 1904 to 1 January 1970.
constexpr UInt32 kPalmEpochOffset = 2082844800u;

UInt16 noLaunchDepth() { return 3; }

void noCurrentApp(UInt16* cardP, LocalID* dbIDP) {
  if (cardP) *cardP = 0;
  if (dbIDP) *dbIDP = 0;
}

UInt32 hostSeconds() { return static_cast<UInt32>(std::time(nullptr)) + kPalmEpochOffset; }

UInt16 noSharedLibrary(LocalID) { return 0xFFFF; }

Boolean noFeatureChunks(void*) { return false; }

void warnAlert(const Char* message) { WarningF("%s", message); }

Int16 noCallbackBridge(EmuAddr routine, void*, void*, Int16, void*, void*, MemHandle) {
  FatalF("68K comparison routine 0x%08X called before the callback bridge exists", routine);
}

const StorageSeams kStandIns{noLaunchDepth,   noCurrentApp, hostSeconds,     noSharedLibrary,
                             noFeatureChunks, warnAlert,    noCallbackBridge};

StorageSeams current = kStandIns;

template <typename F>
void take(F& slot, F given) {
  if (given) slot = given;
}
}  // namespace

const StorageSeams& storageSeams() { return current; }

void setStorageSeams(const StorageSeams& seams) {
  take(current.launcheeDepth, seams.launcheeDepth);
  take(current.currentAppDatabase, seams.currentAppDatabase);
  take(current.seconds, seams.seconds);
  take(current.loadedLibRef, seams.loadedLibRef);
  take(current.featureChunkRemoved, seams.featureChunkRemoved);
  take(current.alertCustom, seams.alertCustom);
  take(current.callComparF, seams.callComparF);
}

void resetStorageSeams() { current = kStandIns; }

UInt16 GetLauncheeDepth() { return current.launcheeDepth(); }

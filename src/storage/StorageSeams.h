// What the storage managers need from managers built later (application
// launch, system time, shared libraries, features, alerts). Each entry has a
// stand-in until its owner installs the real routine with setStorageSeams.
#pragma once
#include "palm/PalmTypes.h"

struct StorageSeams {
  // Memory owner of the running application (launchee count + 3; 3 while no
  // application runs).
  UInt16 (*launcheeDepth)();
  // Card and LocalID of the running application's database; 0 and 0 when none.
  void (*currentAppDatabase)(UInt16* cardP, LocalID* dbIDP);
  // Seconds since 1 January 1904.
  UInt32 (*seconds)();
  // Reference of the shared library loaded from dbID, 0xFFFF when none.
  UInt16 (*loadedLibRef)(LocalID dbID);
  // Offers a chunk about to be freed to the Feature Manager; true when it
  // released the chunk (and its feature) itself.
  Boolean (*featureChunkRemoved)(void* p);
  // The custom error alert shown when a built-in database cannot be made.
  void (*alertCustom)(const Char* message);
  // Calls an application's 68K record comparison routine (DmComparF) through
  // the callback bridge; every pointer lies in the arena.
  Int16 (*callComparF)(EmuAddr routine, void* rec1, void* rec2, Int16 other, void* info1, void* info2,
                       MemHandle appInfoH);
};

const StorageSeams& storageSeams();
// Installs seams; null entries keep their stand-ins.
void setStorageSeams(const StorageSeams& seams);
// Restores every stand-in.
void resetStorageSeams();

UInt16 GetLauncheeDepth();

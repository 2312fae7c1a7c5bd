// Card, store and heap figures: one card with a dynamic heap (0) and a
// storage heap (1).
#include <cstring>

#include "palm/ErrorCodes.h"
#include "storage/MemoryMgrPrivate.h"
#include "storage/memorymgr.h"

namespace {
constexpr const char* kCardName = "Quorvane";
constexpr UInt32 kCardCreationDate = 0xB8797400;  // 27 January 2002 09:08:16

template <typename T>
void put(T* p, T v) {
  if (p) *p = v;
}

template <typename T>
void take(T& field, const T* p) {
  if (p) field = *p;
}

Err storeRecord(UInt16 cardNo, UInt16 storeNumber, MemStoreRecord** recordP) {
  if (cardNo != 0) return memErrCardNotPresent;
  if (storeNumber >= 2) return memErrNoStore;
  *recordP = &memGlobals().stores[storeNumber];
  return errNone;
}
}  // namespace

UInt16 MemNumCards() { return 1; }

Err MemCardInfo(UInt16 cardNo, Char* cardNameP, Char* manufNameP, UInt16* versionP, UInt32* crDateP, UInt32* romSizeP,
                UInt32* ramSizeP, UInt32* freeBytesP) {
  if (cardNo != 0) return memErrCardNotPresent;
  if (cardNameP) std::strcpy(cardNameP, kCardName);
  if (manufNameP) std::strcpy(manufNameP, kCardName);
  put<UInt16>(versionP, 1);
  put<UInt32>(crDateP, kCardCreationDate);
  put<UInt32>(romSizeP, 4000000);
  put<UInt32>(ramSizeP, 0x1000000);
  put<UInt32>(freeBytesP, 0x800000);
  return errNone;
}

Err MemStoreInfo(UInt16 cardNo, UInt16 storeNumber, UInt16* versionP, UInt16* flagsP, Char* nameP, UInt32* crDateP,
                 UInt32* bckUpDateP, UInt32* heapListOffsetP, UInt32* initCodeOffset1P, UInt32* initCodeOffset2P,
                 LocalID* databaseDirIDP) {
  MemStoreRecord* r;
  if (Err err = storeRecord(cardNo, storeNumber, &r)) return err;
  put(versionP, r->version);
  put(flagsP, r->flags);
  if (nameP) std::memcpy(nameP, r->name, sizeof r->name);
  put(crDateP, r->creationDate);
  put(bckUpDateP, r->backupDate);
  put(heapListOffsetP, r->heapListOffset);
  put(initCodeOffset1P, r->initCodeOffset1);
  put(initCodeOffset2P, r->initCodeOffset2);
  put(databaseDirIDP, r->databaseDirID);
  return errNone;
}

Err MemStoreSetInfo(UInt16 cardNo, UInt16 storeNumber, UInt16* versionP, UInt16* flagsP, Char* nameP, UInt32* crDateP,
                    UInt32* bckUpDateP, UInt32* heapListOffsetP, UInt32* initCodeOffset1P, UInt32* initCodeOffset2P,
                    LocalID* databaseDirIDP) {
  MemStoreRecord* r;
  if (Err err = storeRecord(cardNo, storeNumber, &r)) return err;
  take(r->version, versionP);
  take(r->flags, flagsP);
  if (nameP) {
    std::memcpy(r->name, nameP, sizeof r->name);
    r->name[sizeof r->name - 1] = 0;
  }
  take(r->creationDate, crDateP);
  take(r->backupDate, bckUpDateP);
  take(r->heapListOffset, heapListOffsetP);
  take(r->initCodeOffset1, initCodeOffset1P);
  take(r->initCodeOffset2, initCodeOffset2P);
  take(r->databaseDirID, databaseDirIDP);
  return errNone;
}

UInt16 MemNumHeaps(UInt16 cardNo) { return cardNo == 0 ? 2 : 0; }
UInt16 MemNumRAMHeaps(UInt16 cardNo) { return cardNo == 0 ? 2 : 0; }

UInt16 MemHeapID(UInt16 cardNo, UInt16 heapIndex) {
  if (cardNo != 0) return static_cast<UInt16>(cardNo + 2);
  return heapIndex == 0 ? 0 : 1;
}

Boolean MemHeapDynamic(UInt16 heapID) { return heapID == 0; }

Err MemHeapFreeBytes(UInt16 heapID, UInt32* freeP, UInt32* maxP) {
  switch (heapID & 0x7FFF) {
    case 0:
      put<UInt32>(freeP, 0xA00000);
      put<UInt32>(maxP, 0x200000);
      break;
    case 1:
      put<UInt32>(freeP, 0x10000000);
      put<UInt32>(maxP, 0xF000000);
      break;
    default:
      put<UInt32>(freeP, 0);
      put<UInt32>(maxP, 0);
  }
  return errNone;
}

UInt32 MemHeapSize(UInt16 heapID) {
  switch (heapID) {
    case 0:
      return 0x70000;
    case 1:
      return 0x10000000;
    default:
      return 0;
  }
}

UInt16 MemHeapFlags(UInt16) { return 0x4000; }

// The Palm OS Feature Manager: 32-bit values registered under a creator and
// a feature number, and feature memory blocks. The whole table, feature
// memory included, lives in the system database "SystemFeatures-Qvrn", so
// features survive a restart of the program.
#pragma once
#include "palm/PalmTypes.h"
#include "storage/DATAMGR.h"

constexpr Err ftrErrInvalidParam = 0x0C01;
constexpr Err ftrErrNoSuchFeature = 0x0C02;

constexpr UInt32 kSystemVersion = 0x05200000;

Err FtrGet(UInt32 creator, UInt16 featureNum, UInt32* valueP);
Err FtrSet(UInt32 creator, UInt16 featureNum, UInt32 newValue);
Err FtrUnregister(UInt32 creator, UInt16 featureNum);
// romTable is ignored: there is one table.
Err FtrGetByIndex(UInt16 index, Boolean romTable, UInt32* creatorP, UInt16* numP, UInt32* valueP);
Err FtrPtrNew(UInt32 creator, UInt16 featureNum, UInt32 size, void** newPtrP);
Err FtrPtrFree(UInt32 creator, UInt16 featureNum);
Err FtrPtrResize(UInt32 creator, UInt16 featureNum, UInt32 newSize, void** newPtrP);

// Start-up, after the database files are registered: opens (or makes) the
// feature database, refreshes what must be fresh and sets the system
// features. False when the globals cannot be had.
Boolean FeatureInit();
// Close-down: unlocks the table and feature memory, closes the database.
void CloseFeatureDatabase();
DmOpenRef GetFeatureDbRef();
// "v.5.32" and the like; empty before FeatureInit.
const Char* GetOSVersionString();
// The Memory Manager offers each database chunk it frees: true when the
// chunk was feature memory and the Feature Manager released it with its feature.
Boolean FeatureChunkRemoved(void* p);

// What the host and the system's private services answer for features.
struct FeatureHost {
  // Features the host supplies (the locale); ftrErrNoSuchFeature when none.
  Err (*getNative)(UInt32 creator, UInt16 featureNum, UInt32* valueP);
  // A feature of creator 'QVLn' set by an application: the system's private
  // service featureNum with value as its argument.
  Err (*privateAppService)(UInt16 service, UInt32 value);
};
// Installs hooks; null entries keep the defaults (no host features, no service).
void setFeatureHost(const FeatureHost& host);

// The program's version number, as feature 'psys' 18 holds it.
UInt32 GetQuorvaneVersionInt();
// The OEM device identifier 'iphn', feature 'psys' 21.
UInt32 getSysFtrNumOEMDeviceID();
// 0 when a code page exists for the encoding (Palm Latin, ISO 8859-9), else 22.
UInt16 QvnIsCharEncodingAvailable(UInt8 encoding);

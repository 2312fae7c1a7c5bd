// The Feature Manager's globals and table operations, shared by its files.
#pragma once
#include "palm/PalmTypes.h"
#include "storage/DATAMGR.h"
#include "storage/Feature.h"

// FeatureType: one table entry, 12 bytes in the table in little-endian
// order (the order the feature database's file has always held).
struct FeatureEntry {
  UInt32 creator;
  UInt32 value;
  UInt16 number;
  UInt16 flags;
};
constexpr UInt32 kFeatureEntrySize = 12;
// The value is the locked pointer of a feature memory block.
constexpr UInt16 kFeatureMemoryFlag = 1;

struct FeatureGlobals {
  DmOpenRef db = nullptr;
  LocalID dbID = 0;
  MemHandle tableH = 0;
  UInt8* table = nullptr;  // kept locked
  UInt32 count = 0;
  Char osVersion[20] = {};
};

FeatureGlobals* featureGlobals();
LocalID featureDatabaseID();
const FeatureHost& featureHost();

FeatureEntry getFeatureByIndex(UInt32 index);
// Writes through DmWrite, so the database is marked changed.
void setFeatureByIndex(UInt32 index, const FeatureEntry& e);
// Binary search; *indexP is the match or the insertion point.
bool findIndex(UInt32 creator, UInt16 number, UInt32* indexP);
Err resizeTable(UInt32 entries);
Err registerFeature(UInt32 index, const FeatureEntry& e);
void unregisterFeature(UInt32 index);
// Replaces or inserts the entry with e's key, without FtrSet's checks and hooks.
Err setFeature(const FeatureEntry& e);

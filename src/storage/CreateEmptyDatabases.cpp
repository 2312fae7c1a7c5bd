// The built-in PIM databases that start-up creates when they are missing,
// each with the application info block its application expects.
#include <cstdio>
#include <cstring>
#include <vector>

#include "host/Reporting.h"
#include "palm/FourCC.h"
#include "storage/DATAMGR.h"
#include "storage/DataMgrPrivate.h"
#include "storage/StorageSeams.h"
#include "storage/memorymgr.h"

namespace {
using Block = std::vector<UInt8>;

constexpr UInt32 kCategoryNames = 2;
constexpr UInt32 kCategoryIDs = 258;
constexpr UInt32 kLastUniqueID = 274;
constexpr UInt32 kCategoryNameSize = 16;

// The standard category block: renamed mask, names, unique IDs 0..15, last ID 15.
Block categoryBlock(UInt32 size, UInt16 renamed, std::initializer_list<const char*> names) {
  Block b(size, 0);
  set16(b.data(), renamed);
  UInt32 i = 0;
  for (const char* n : names) std::strcpy(reinterpret_cast<char*>(&b[kCategoryNames + kCategoryNameSize * i++]), n);
  for (UInt8 id = 0; id < 16; ++id) b[kCategoryIDs + id] = id;
  b[kLastUniqueID] = 15;
  return b;
}

Block addressAppInfo() {
  static const char* const kLabels[] = {"Last name", "First name", "Company",  "Work",     "Home",     "Fax",
                                        "Other",     "E-mail",     "Address",  "City",     "State",    "Zip Code",
                                        "Country",   "Title",      "Custom 1", "Custom 2", "Custom 3", "Custom 4",
                                        "Note",      "Main",       "Pager",    "Mobile"};
  Block b = categoryBlock(638, 0x000F, {"Unfiled", "Business", "Personal", "QuickList"});
  set32(&b[278], 0x003FFFFF);
  for (UInt32 i = 0; i < 22; ++i) std::strcpy(reinterpret_cast<char*>(&b[282 + 16 * i]), kLabels[i]);
  b[634] = 23;
  return b;
}

Block toDoAppInfo() {
  Block b = categoryBlock(282, 0, {"Unfiled", "Business", "Personal"});
  set16(&b[278], 0xFFFF);
  b[280] = 1;
  return b;
}

struct BuiltIn {
  const char* name;
  UInt32 creator;
  Block (*appInfo)();
};

const BuiltIn kBuiltIns[] = {
    {"AddressDB", fourCC("addr"), addressAppInfo},
    {"DatebookDB", fourCC("date"), [] { return Block(280, 0); }},
    {"ExpenseDB", fourCC("exps"),
     [] {
       return categoryBlock(392, 0, {"Unfiled", "Frankfurt", "London"});
     }},
    {"MemoDB", fourCC("memo"),
     [] {
       return categoryBlock(282, 0, {"Unfiled", "Business", "Personal"});
     }},
    {"ToDoDB", fourCC("todo"), toDoAppInfo},
};

bool CreateEmptyDatabase(const char* name, UInt32 creator, const Block& appInfo) {
  if (DmCreateDatabase(0, name, creator, fourCC("DATA"), false)) return false;
  LocalID dbID = DmFindDatabase(0, name);
  QV_ASSERT(dbID != 0);
  MemHandle h = DmNewHandle(nullptr, static_cast<UInt32>(appInfo.size()));
  if (!h) {
    DmDeleteDatabase(0, dbID);
    return false;
  }
  void* p = MemHandleLock(h);
  QV_ASSERT(DmWrite(p, 0, appInfo.data(), static_cast<UInt32>(appInfo.size())) == errNone);
  LocalID appInfoID = MemHandleToLocalID(h);
  QV_ASSERT(DmSetDatabaseInfo(0, dbID, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &appInfoID,
                              nullptr, nullptr, nullptr) == errNone);
  MemHandleUnlock(h);
  return true;
}
}  // namespace

void CreateEmptyDatabases() {
  for (const BuiltIn& db : kBuiltIns) {
    if (DmFindDatabase(0, db.name)) continue;
    if (CreateEmptyDatabase(db.name, db.creator, db.appInfo())) continue;
    char message[64];
    std::snprintf(message, sizeof message, "Unable to create %s.", db.name);
    storageSeams().alertCustom(message);
  }
}

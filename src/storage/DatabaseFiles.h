// Where the Data Manager meets the databases' host files. The file code
// installs its routines with setDatabaseFileOps; until then the stand-ins
// below answer as a system without files: nothing is saved (so every change
// stays marked dirty), no file needs deleting, and a stub cannot be loaded.
#pragma once
#include "palm/PalmTypes.h"

struct DatabaseFileOps {
  // True only when the host file now holds the database.
  Boolean (*save)(UInt16 cardNo, LocalID dbID, UInt8 backup);
  // True when no file of that database remains (a missing file counts).
  Boolean (*deleteFile)(const Char* name, UInt16 attributes, UInt16 version, UInt32 creator, UInt32 type);
  // Makes sure a stub's records are in memory; true when they are.
  Boolean (*load)(UInt16 cardNo, LocalID dbID);
  // Refreshes a stub's dates and modification number from its file.
  Boolean (*refreshDates)(void* header);
};

void setDatabaseFileOps(const DatabaseFileOps& ops);
void resetDatabaseFileOps();

Boolean SaveDatabaseToFile(UInt16 cardNo, LocalID dbID, UInt8 backup);
Boolean DeleteDatabaseFile(const Char* name, UInt16 attributes, UInt16 version, UInt32 creator, UInt32 type);
Boolean DatabaseLoaded(UInt16 cardNo, LocalID dbID);
Boolean CurrentDatabaseDates(void* header);

// Every database lives in one host file of the databases folder, in the image
// format, named by EncodedFileName. Databases are registered as stubs at
// start-up, loaded on first use and written back when changed. A save never
// touches the only copy: it writes a temporary file, flushes it to the disk
// and renames it over the old one; a failed save leaves the previous file as
// it was and the database marked dirty.
#pragma once
#include <string>

#include "palm/PalmTypes.h"
#include "storage/DATAMGR.h"

// Makes the functions below the Data Manager's file routines, over the given
// folder (ending in '/').
void InstallDatabaseFiles(const std::string& databasesFolder);
const std::string& DatabasesFolder();

Boolean SaveDatabaseToFileNow(UInt16 cardNo, LocalID dbID, UInt8 backup);
Boolean DeleteDatabaseFileNow(const Char* name, UInt16 attributes, UInt16 version, UInt32 creator, UInt32 type);
Boolean LoadDatabaseFromFile(UInt16 cardNo, LocalID dbID);
Boolean RefreshDatabaseDatesFromFile(void* header);

Err CreateDatabaseStub(UInt16 cardNo, const Char* name, UInt16 attributes, UInt16 version, UInt32 creator, UInt32 type);
// Turns a plain .pdb/.prc file of the folder into a registered database file.
void RenameDatabaseFile(const Char* fileName, const Char* directory);
// The start-up pass: registers every database file of the folder as a stub,
// takes back a database whose only remaining copy is its backup, renames
// plain .pdb/.prc files, and clears the leftovers of interrupted saves.
void CreateDatabaseDirectoryEntries();

Err DatabaseFlush(DmOpenRef ref);
Err DatabaseFlushAll();
void FlushDatabasesWhenIdle();
UInt8 SetDatabaseIdleFlush(UInt8 flag);
// Close-down: closes every open database, then writes every database still
// marked dirty. Returns false when some database could not be written.
Boolean SaveDatabasesToFiles(const Char* reason);

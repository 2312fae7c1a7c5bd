// State shared by the Memory Manager's files.
#pragma once
#include "host/Threads.h"
#include "palm/PalmTypes.h"
#include "storage/ChunkHeader.h"

// One store record of card 0 (host order).
struct MemStoreRecord {
  UInt16 version;
  UInt16 flags;
  Char name[32];
  UInt32 creationDate;
  UInt32 backupDate;
  UInt32 heapListOffset;
  UInt32 initCodeOffset1;
  UInt32 initCodeOffset2;
  LocalID databaseDirID;
};

struct MemoryMgrGlobals {
  EmuAddr liveHead = 0;     // link block of the newest live chunk
  EmuAddr delayedHead = 0;  // link blocks of chunks whose release waits for the launch to end
  UInt8 heapInitialised = 0;
  MemStoreRecord stores[2] = {};
  UInt8 suppressWarnings = 0;
  Monitor monitor;  // guards both lists
};

MemoryMgrGlobals& memGlobals();

// The header of p when p is the data pointer of a valid chunk, else null.
UInt8* validHeader(const void* p);
// The header of a valid handle's chunk (magic checked), else null.
UInt8* handleHeader(MemHandle h);
// The handle of a movable chunk whose master block points back at it, else 0.
MemHandle recoverHandle(UInt8* hdr);

// Sets the size field and adjustment from the host block's usable size.
void setSizeFields(UInt8* hdr, UInt32 usable, UInt32 size);
// Usable bytes of the host block that holds the chunk.
UInt32 hostBlockSize(UInt8* hdr);
// Frees a chunk and its master block; its link block leaves whichever list holds it.
void FreeChunk(UInt8* hdr);

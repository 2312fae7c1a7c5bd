// The Palm database image (the PDB/PRC layout): how a whole database travels
// outside memory, in host files, exchange and downloads. One writer makes an
// image of a database; the readers make a database (or fill a stub) from one,
// after checking every offset and length in it against the image itself.
#pragma once
#include "palm/PalmTypes.h"

// Procedures of the caller (native; 68K procedures are wrapped into these).
// The count holds the bytes wanted or offered on entry, those delivered or
// taken on return; a read delivering fewer than wanted ends the stream.
using DmReadProc = Err (*)(void* dataP, UInt32* sizeP, void* userDataP);
using DmWriteProc = Err (*)(const void* dataP, UInt32* sizeP, void* userDataP);
// Asked whether an existing database of the same name may be replaced: it
// deletes that database itself and answers true, or answers false.
using DmDeleteProc = Boolean (*)(const Char* nameP, UInt16 version, UInt16 cardNo, LocalID dbID, void* userDataP);

// Larger images are refused: no Palm database comes near this.
constexpr UInt32 kMaxImageSize = 64u << 20;

Err WriteDatabaseToStream(DmWriteProc writeProc, void* userDataP, LocalID dbID, UInt16 cardNo);

// With existingID 0 a new database is made from the stream; with the header
// ID of a stub, the stub receives the stream's records.
Err CreateOrLoadDatabaseFromStream(LocalID existingID, DmReadProc readProc, DmDeleteProc deleteProc, void* userDataP,
                                   LocalID* dbIDP, UInt16 cardNo, UInt8* needResetP, UInt8 keepDates);
// The same from an image that lies whole in host memory.
Err CreateOrLoadDatabaseFromImage(LocalID existingID, const UInt8* image, UInt32 size, DmDeleteProc deleteProc,
                                  void* userDataP, LocalID* dbIDP, UInt16 cardNo, UInt8* needResetP);

// A database received from a stream (exchange, downloads): made, saved at
// once, and its ID stored through dbIDP (0 on failure).
Err ExgDBReadExtended(DmReadProc readProc, DmDeleteProc deleteProc, void* userDataP, LocalID* dbIDP, UInt16 cardNo,
                      Boolean* needResetP, Boolean keepDates);

// The Palm call: a database from an image in a chunk; it is saved at once.
Err DmCreateDatabaseFromImage(void* bufferP);

// True when an image in host memory is whole: every offset and length in it fits.
Boolean ImageIsWhole(const UInt8* image, UInt32 size);

// Resource types whose data is ARM code or used by it: kept in executable chunks.
Boolean IsArmCodeChunk(UInt32 type);

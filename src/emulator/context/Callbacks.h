// Native code calling 68K routines that applications supplied (event
// handlers, drawing and sort routines, notification and sound procedures...).
// Each pushes the routine's arguments on the calling thread's current context
// (last argument first: pointers and 32-bit values as longs, 16-bit values as
// words, Booleans as words with the value in the high byte), runs the routine
// to its return and reads the result from D0. Pointer arguments must lie in
// the arena.
#pragma once
#include <initializer_list>
#include "palm/PalmTypes.h"

class M68K;

// One argument as pushed on the 68K stack.
struct CallbackArg {
  UInt32 value;
  UInt8 bytes;  // 2 or 4
};
inline CallbackArg CbLong(UInt32 v) { return {v, 4}; }
inline CallbackArg CbWord(UInt16 v) { return {v, 2}; }
inline CallbackArg CbBool(Boolean v) { return {static_cast<UInt32>(v ? 1 : 0) << 8, 2}; }
CallbackArg CbPtr(const void* p);

// Runs routine on context m with args (first argument first); returns D0.
UInt32 RunCallback(M68K& m, EmuAddr routine, std::initializer_list<CallbackArg> args);

Boolean CallFormEventHandler(EmuAddr handler, void* eventP);
Boolean CallFormCheckResponse(EmuAddr routine, Int16 button, Char* text);
Boolean CallFormGadgetEventHandler(EmuAddr handler, void* gadgetP, UInt16 cmd, void* paramP);
Int16 CallComparF(EmuAddr routine, void* rec1, void* rec2, Int16 other, void* info1, void* info2, MemHandle appInfoH);
void CallSndCompl(EmuAddr routine, void* channelP, UInt32 data);
Boolean CallSndBlocking(EmuAddr routine, void* channelP, UInt32 data, Int32 ticks);
void CallListDraw(EmuAddr routine, Int16 item, void* boundsP, Char** itemsText);
void CallTableDrawItem(EmuAddr routine, void* tableP, Int16 row, Int16 column, void* boundsP);
Err CallTableLoadData(EmuAddr routine, void* tableP, Int16 row, Int16 column, Boolean editable, MemHandle* dataH,
                      Int16* dataOffset, Int16* dataSize, void* fieldP);
Boolean CallTableSaveData(EmuAddr routine, void* tableP, Int16 row, Int16 column);
Boolean CallProgress(EmuAddr routine, void* callbackDataP);
Int16 CallSearch(EmuAddr routine, const void* searchData, const void* arrayData, Int32 other);
Err CallLibStartup(EmuAddr routine, UInt16 refNum, void* entryP);
Err CallWriteProc(EmuAddr routine, const void* dataP, UInt32* sizeP, void* userDataP);
Err CallReadProc(EmuAddr routine, void* dataP, UInt32* sizeP, void* userDataP);
Boolean CallDeleteProc(EmuAddr routine, const Char* name, UInt16 version, UInt16 cardNo, LocalID dbID,
                       void* userDataP);
Err CallVFSExportProc(EmuAddr routine, UInt32 totalBytes, UInt32 offset, void* userDataP);
Err CallVFSImportProc(EmuAddr routine, UInt32 totalBytes, UInt32 offset, void* userDataP);
Err CallSysNotifyProc(EmuAddr routine, void* notifyParamsP);
void CallDNSServiceRegisterReply(EmuAddr routine, UInt32 service, UInt32 flags, UInt32 error, const Char* name,
                                 const Char* type, const Char* domain, UInt32 context);
Err CallSndStreamBufferCallback(EmuAddr routine, void* userData, UInt32 stream, void* buffer, UInt32 frameCount);
Err CallSndStreamVariableBufferCallback(EmuAddr routine, void* userData, UInt32 stream, void* buffer,
                                        UInt32* bufferSizeP);
void CallAlmAlarmProc(EmuAddr routine, UInt16 cmd, void* paramP);
void CallWakeupHandlerProc(EmuAddr routine, UInt32 refCon);
Boolean CallPostGetCallbackProc(EmuAddr routine, UInt32 value, void* userDataP);
UInt16 CallImcGetCharProc(EmuAddr routine, void* stream);
void CallImcPutCharProc(EmuAddr routine, void* stream, const Char* text);

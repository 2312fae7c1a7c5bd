#include "emulator/context/Callbacks.h"
#include <cstring>
#include <vector>
#include "emulator/context/M68K.h"
#include "palm/Address.h"
#include "palm/Endian.h"

CallbackArg CbPtr(const void* p) { return {p ? toEmu(p) : 0, 4}; }

UInt32 RunCallback(M68K& m, EmuAddr routine, std::initializer_list<CallbackArg> args) {
  UInt32 bytes = 0;
  for (auto it = std::rbegin(args); it != std::rend(args); ++it) {
    if (it->bytes == 4)
      m.pushLong(it->value);
    else
      m.pushWord(static_cast<UInt16>(it->value));
    bytes += it->bytes;
  }
  m.call(routine, bytes);
  return m.getD0Long();
}

namespace {
M68K& current() { return *M68K::getCurrentM68K(); }

UInt32 run(EmuAddr routine, std::initializer_list<CallbackArg> args) { return RunCallback(current(), routine, args); }
Boolean booleanResult(UInt32 d0) { return static_cast<UInt8>(d0) != 0; }

// A size the routine reads and updates in 68K byte order: a big-endian copy
// in scratch space on the 68K stack, below the arguments.
template <typename Body>
Err withBigEndianSize(UInt32* sizeP, Body body) {
  M68K& m = current();
  UInt32 scratch = m.predecrementAddrReg(7, 4);
  m.setLong(scratch, sizeP ? *sizeP : 0);
  Err err = static_cast<Err>(body(scratch));
  if (sizeP) *sizeP = m.getLong(scratch);
  m.postincrementAddrReg(7, 4);
  return err;
}
}  // namespace

Boolean CallFormEventHandler(EmuAddr handler, void* eventP) {
  M68K& m = current();
  if (m.zeroesStackBeforeFormHandler()) {
    UInt8* base = m.getUserStackBase();
    std::memset(base, 0, m.getAddrRegLong(7) - toEmu(base));
  }
  return booleanResult(RunCallback(m, handler, {CbPtr(eventP)}));
}

Boolean CallFormCheckResponse(EmuAddr routine, Int16 button, Char* text) {
  return booleanResult(run(routine, {CbWord(static_cast<UInt16>(button)), CbPtr(text)}));
}

Boolean CallFormGadgetEventHandler(EmuAddr handler, void* gadgetP, UInt16 cmd, void* paramP) {
  if (!handler) return false;
  return booleanResult(run(handler, {CbPtr(gadgetP), CbWord(cmd), CbPtr(paramP)}));
}

Int16 CallComparF(EmuAddr routine, void* rec1, void* rec2, Int16 other, void* info1, void* info2, MemHandle appInfoH) {
  return static_cast<Int16>(run(routine, {CbPtr(rec1), CbPtr(rec2), CbWord(static_cast<UInt16>(other)), CbPtr(info1),
                                          CbPtr(info2), CbLong(appInfoH)}));
}

void CallSndCompl(EmuAddr routine, void* channelP, UInt32 data) { run(routine, {CbPtr(channelP), CbLong(data)}); }

Boolean CallSndBlocking(EmuAddr routine, void* channelP, UInt32 data, Int32 ticks) {
  return booleanResult(run(routine, {CbPtr(channelP), CbLong(data), CbLong(static_cast<UInt32>(ticks))}));
}

void CallListDraw(EmuAddr routine, Int16 item, void* boundsP, Char** itemsText) {
  run(routine, {CbWord(static_cast<UInt16>(item)), CbPtr(boundsP), CbPtr(itemsText)});
}

void CallTableDrawItem(EmuAddr routine, void* tableP, Int16 row, Int16 column, void* boundsP) {
  run(routine, {CbPtr(tableP), CbWord(static_cast<UInt16>(row)), CbWord(static_cast<UInt16>(column)), CbPtr(boundsP)});
}

Err CallTableLoadData(EmuAddr routine, void* tableP, Int16 row, Int16 column, Boolean editable, MemHandle* dataH,
                      Int16* dataOffset, Int16* dataSize, void* fieldP) {
  Err err = static_cast<Err>(run(routine, {CbPtr(tableP), CbWord(static_cast<UInt16>(row)),
                                           CbWord(static_cast<UInt16>(column)), CbBool(editable), CbPtr(dataH),
                                           CbPtr(dataOffset), CbPtr(dataSize), CbPtr(fieldP)}));
  // The routine filled the three values in 68K byte order.
  if (dataH) *dataH = get32(dataH);
  if (dataOffset) *dataOffset = static_cast<Int16>(get16(dataOffset));
  if (dataSize) *dataSize = static_cast<Int16>(get16(dataSize));
  return err;
}

Boolean CallTableSaveData(EmuAddr routine, void* tableP, Int16 row, Int16 column) {
  return booleanResult(
      run(routine, {CbPtr(tableP), CbWord(static_cast<UInt16>(row)), CbWord(static_cast<UInt16>(column))}));
}

Boolean CallProgress(EmuAddr routine, void* callbackDataP) { return booleanResult(run(routine, {CbPtr(callbackDataP)})); }

Int16 CallSearch(EmuAddr routine, const void* searchData, const void* arrayData, Int32 other) {
  return static_cast<Int16>(run(routine, {CbPtr(searchData), CbPtr(arrayData), CbLong(static_cast<UInt32>(other))}));
}

Err CallLibStartup(EmuAddr routine, UInt16 refNum, void* entryP) {
  return static_cast<Err>(run(routine, {CbWord(refNum), CbPtr(entryP)}));
}

Err CallWriteProc(EmuAddr routine, const void* dataP, UInt32* sizeP, void* userDataP) {
  return withBigEndianSize(sizeP, [&](UInt32 size) { return run(routine, {CbPtr(dataP), CbLong(size), CbPtr(userDataP)}); });
}

Err CallReadProc(EmuAddr routine, void* dataP, UInt32* sizeP, void* userDataP) {
  return withBigEndianSize(sizeP, [&](UInt32 size) { return run(routine, {CbPtr(dataP), CbLong(size), CbPtr(userDataP)}); });
}

Boolean CallDeleteProc(EmuAddr routine, const Char* name, UInt16 version, UInt16 cardNo, LocalID dbID,
                       void* userDataP) {
  return booleanResult(run(routine, {CbPtr(name), CbWord(version), CbWord(cardNo), CbLong(dbID), CbPtr(userDataP)}));
}

Err CallVFSExportProc(EmuAddr routine, UInt32 totalBytes, UInt32 offset, void* userDataP) {
  return static_cast<Err>(run(routine, {CbLong(totalBytes), CbLong(offset), CbPtr(userDataP)}));
}

Err CallVFSImportProc(EmuAddr routine, UInt32 totalBytes, UInt32 offset, void* userDataP) {
  return static_cast<Err>(run(routine, {CbLong(totalBytes), CbLong(offset), CbPtr(userDataP)}));
}

Err CallSysNotifyProc(EmuAddr routine, void* notifyParamsP) {
  return static_cast<Err>(run(routine, {CbPtr(notifyParamsP)}));
}

void CallDNSServiceRegisterReply(EmuAddr routine, UInt32 service, UInt32 flags, UInt32 error, const Char* name,
                                 const Char* type, const Char* domain, UInt32 context) {
  run(routine, {CbLong(service), CbLong(flags), CbLong(error), CbPtr(name), CbPtr(type), CbPtr(domain), CbLong(context)});
}

Err CallSndStreamBufferCallback(EmuAddr routine, void* userData, UInt32 stream, void* buffer, UInt32 frameCount) {
  return static_cast<Err>(run(routine, {CbPtr(userData), CbLong(stream), CbPtr(buffer), CbLong(frameCount)}));
}

Err CallSndStreamVariableBufferCallback(EmuAddr routine, void* userData, UInt32 stream, void* buffer,
                                        UInt32* bufferSizeP) {
  return withBigEndianSize(bufferSizeP, [&](UInt32 size) {
    return run(routine, {CbPtr(userData), CbLong(stream), CbPtr(buffer), CbLong(size)});
  });
}

void CallAlmAlarmProc(EmuAddr routine, UInt16 cmd, void* paramP) { run(routine, {CbWord(cmd), CbPtr(paramP)}); }
void CallWakeupHandlerProc(EmuAddr routine, UInt32 refCon) { run(routine, {CbLong(refCon)}); }

Boolean CallPostGetCallbackProc(EmuAddr routine, UInt32 value, void* userDataP) {
  return booleanResult(run(routine, {CbLong(value), CbPtr(userDataP)}));
}

UInt16 CallImcGetCharProc(EmuAddr routine, void* stream) { return static_cast<UInt16>(run(routine, {CbPtr(stream)})); }
void CallImcPutCharProc(EmuAddr routine, void* stream, const Char* text) {
  run(routine, {CbPtr(stream), CbPtr(text)});
}

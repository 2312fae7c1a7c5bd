// Memory faults. One process-wide SIGSEGV/SIGBUS handler: inside a guarded
// operation (exception state 2) the operation returns at once; any other
// fault is reported as "Fatal Error: Illegal memory access" and ends the
// process.
#pragma once
#include <cstddef>
#include "palm/PalmTypes.h"

// Installs the handler once for the whole process (later calls do nothing).
void installFaultHandler();

// Gives the fatal report its detail: the emulator writes the current
// instruction or last trap and its registers. Must be async-signal-safe.
using FaultDetailProc = void (*)(char* buffer, std::size_t size);
void setFaultDetailProc(FaultDetailProc proc);

// Gives the calling thread a signal stack, so that a stack overflow is reported too.
void ensureSignalStack();

// The Palm MemMove: an overlap-safe copy guarded against memory faults. A
// copy that meets unmapped memory ends early with a warning. Returns errNone.
Err MemMove(void* dst, const void* src, Int32 numBytes);

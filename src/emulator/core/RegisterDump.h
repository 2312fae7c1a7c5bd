// The 68K registers as the fatal reports print them. Async-signal-safe
// enough for the fault handler: it only formats into the caller's buffer.
#pragma once
#include <cstddef>
#include "emulator/core/M68KState.h"

void FormatM68KRegisters(const M68KState& st, char* buffer, std::size_t size);

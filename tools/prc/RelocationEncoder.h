// The encoder of the relocation lists of 'data' 0: a 4-byte count, then one
// entry per relocated long, each moving a running offset from A5 by a 1- or
// 2-byte delta or setting it with a 4-byte value.
#pragma once
#include <string>
#include <vector>
#include "palm/PalmTypes.h"

struct RelocationList {
  std::vector<UInt8> bytes;
  std::vector<int> entrySizes;  // 1, 2 or 4 per entry, in order
};

// Encodes the longs at the given offsets from A5 (sorted here). Fails on an
// odd offset or one beyond the 30-bit range of the entries.
bool EncodeRelocationList(std::vector<Int32> offsetsFromA5, RelocationList& list, std::string& error);

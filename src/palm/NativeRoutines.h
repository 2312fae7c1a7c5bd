// Where a Palm structure holds the address of a native routine or host object
// (native event handlers, draw callbacks, socket references), it holds a 32-bit
// token from this registry instead: 68K-visible fields are never 64 bits wide.
#pragma once
#include "palm/PalmTypes.h"

namespace NativeRoutines {
// Tokens lie in a range no 68K address of ours uses, so a token is never
// mistaken for 68K code.
constexpr UInt32 kTokenBase = 0xE0000000;
constexpr UInt32 kTokenLimit = 0xE0100000;

// Returns the token of p, registering it on first use; the same p always gets
// the same token.
UInt32 tokenFor(void* p);
// The registered pointer, or null when token is not one of ours.
void* lookup(UInt32 token);
inline bool isToken(UInt32 v) { return v >= kTokenBase && v < kTokenLimit; }

template <typename F>
F lookupAs(UInt32 token) {
  return reinterpret_cast<F>(lookup(token));
}
}  // namespace NativeRoutines

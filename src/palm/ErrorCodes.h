// Palm error codes: the manager's class in the high byte, the error in the low byte.
// Each manager adds its own codes here as it is built.
#pragma once
#include "palm/PalmTypes.h"

constexpr Err memErrorClass = 0x0100;
constexpr Err dmErrorClass = 0x0200;
constexpr Err serErrorClass = 0x0300;
constexpr Err slkErrorClass = 0x0400;
constexpr Err sysErrorClass = 0x0500;
constexpr Err sndErrorClass = 0x0800;
constexpr Err ftrErrorClass = 0x0C00;
constexpr Err netErrorClass = 0x1200;
constexpr Err exgErrorClass = 0x1500;
constexpr Err fileErrorClass = 0x1600;
constexpr Err omErrorClass = 0x2500;
constexpr Err expErrorClass = 0x2900;
constexpr Err vfsErrorClass = 0x2A00;

// Float Manager
constexpr Err flpErrorClass = 0x0680;
constexpr Err flpErrOutOfRange = flpErrorClass | 1;

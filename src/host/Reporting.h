// Reporting to the user: warnings, errors and fatal errors. On the emulator
// thread, while the system runs, a message is a Palm custom alert that waits
// for the user; elsewhere (other threads, nested messages, start-up and
// close-down) it is a host alert that does not wait.
#pragma once
#include <atomic>
#include <cstdarg>
#include "palm/PalmTypes.h"

constexpr unsigned kMessageBufferSize = 512;

constexpr const char* kWarningTitle = "Quorvane Warning";
constexpr const char* kErrorTitle = "Quorvane Error";
constexpr const char* kFatalTitle = "Quorvane Fatal Error";

// Messages being shown; at 2 or more (start-up, close-down) nothing goes to
// the Palm alert path.
extern std::atomic<int> MessageNestingLevel;

void WarningF(const char* format, ...) __attribute__((format(printf, 1, 2)));
void ErrorF(const char* format, ...) __attribute__((format(printf, 1, 2)));
[[noreturn]] void FatalF(const char* format, ...) __attribute__((format(printf, 1, 2)));
void MessageF(const char* title, const char* format, va_list args) __attribute__((format(printf, 2, 0)));

[[noreturn]] void ErrDisplayFileLineMsg(const char* fileName, UInt16 lineNo, const char* msg);
void ValidateNewPtr(const char* sourcePath, int line, const void* p);
[[noreturn]] void TerminateProcess();

const char* filenameOnly(const char* path);
char* UInt32ToChar(char* buf, UInt32 code);

// The Palm alert path: the Form Manager installs FrmCustomAlert here. It
// returns the index of the button the user chose.
using PalmCustomAlertProc = UInt16 (*)(UInt16 alertId, const char* s1, const char* s2, const char* s3);
void setPalmCustomAlertProc(PalmCustomAlertProc proc);

constexpr UInt16 kWarningAlertId = 10024;
constexpr UInt16 kErrorAlertId = 10021;
constexpr UInt16 kErrDisplayAlertId = 10100;

// The assertion form for broken invariants.
#define QV_ASSERT(cond) \
  ((cond) ? (void)0 : FatalF("assert() failed (%s.%d)", filenameOnly(__FILE__), __LINE__))

#define QV_VALIDATE(p) ValidateNewPtr(__FILE__, __LINE__, (p))

#include "host/Reporting.h"
#include <cstdio>
#include <cstdlib>
#include <string>
#include "host/Threads.h"
#include "platform/Platform.h"

std::atomic<int> MessageNestingLevel{0};

namespace {
std::atomic<PalmCustomAlertProc> palmAlert{nullptr};

// Host alerts take the text as ISO Latin-1, as Palm text is.
std::string latin1ToUtf8(const char* text) {
  std::string out;
  for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c; ++c) {
    if (*c < 0x80) {
      out += static_cast<char>(*c);
    } else {
      out += static_cast<char>(0xC0 | (*c >> 6));
      out += static_cast<char>(0x80 | (*c & 0x3F));
    }
  }
  return out;
}

UInt16 showPalmAlert(UInt16 alertId, const char* text) {
  return palmAlert.load()(alertId, text, "", "");
}
}  // namespace

void setPalmCustomAlertProc(PalmCustomAlertProc proc) { palmAlert = proc; }

void MessageF(const char* title, const char* format, va_list args) {
  char buffer[kMessageBufferSize];
  std::vsnprintf(buffer, sizeof buffer, format, args);
  buffer[sizeof buffer - 1] = 0;
  int level = ++MessageNestingLevel;
  if (IsAppThread() && level == 1 && palmAlert.load()) {
    showPalmAlert(std::string(title) == kWarningTitle ? kWarningAlertId : kErrorAlertId, buffer);
  } else {
    Platform::showAlert(title, latin1ToUtf8(buffer));
  }
  --MessageNestingLevel;
}

void WarningF(const char* format, ...) {
  va_list args;
  va_start(args, format);
  MessageF(kWarningTitle, format, args);
  va_end(args);
}

void ErrorF(const char* format, ...) {
  va_list args;
  va_start(args, format);
  MessageF(kErrorTitle, format, args);
  va_end(args);
}

void FatalF(const char* format, ...) {
  va_list args;
  va_start(args, format);
  MessageF(kFatalTitle, format, args);
  va_end(args);
  TerminateProcess();
}

void TerminateProcess() {
  std::fflush(nullptr);
  std::_Exit(1);
}

void ErrDisplayFileLineMsg(const char* fileName, UInt16 lineNo, const char* msg) {
  if (IsAppThread() && palmAlert.load()) {
    char text[300];
    std::snprintf(text, sizeof text, "%s (%s %hu)", msg, fileName, lineNo);
    if (showPalmAlert(kErrDisplayAlertId, text) == 0) TerminateProcess();
  }
  FatalF("%s (%s %hu)", msg, fileName, lineNo);
}

void ValidateNewPtr(const char* sourcePath, int line, const void* p) {
  if (p) return;
  FatalF("Out of memory detected at %s (%d).\n\nThe program is now terminating", filenameOnly(sourcePath), line);
}

const char* filenameOnly(const char* path) {
  const char* name = path;
  for (const char* c = path; *c; ++c)
    if (*c == '/' || *c == '\\') name = c + 1;
  return name;
}

char* UInt32ToChar(char* buf, UInt32 code) {
  for (int i = 0; i < 4; ++i) buf[i] = static_cast<char>(code >> (24 - 8 * i));
  buf[4] = 0;
  return buf;
}

#include "host/FaultHandler.h"
#include <setjmp.h>
#include <signal.h>
#include <ucontext.h>
#include <unistd.h>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <algorithm>
#include <mutex>
#include "host/Reporting.h"
#include "host/Threads.h"

namespace {
constexpr std::uint32_t kGuarded = 2;

std::once_flag installOnce;
std::atomic<FaultDetailProc> detailProc{nullptr};
// volatile: the compiler must not drop the store before the copy, which it sees as unable to read it.
thread_local sigjmp_buf* volatile guardJump = nullptr;

void writeAll(const char* text, std::size_t length) {
  while (length > 0) {
    ssize_t n = write(STDERR_FILENO, text, length);
    if (n <= 0) return;
    text += n;
    length -= static_cast<std::size_t>(n);
  }
}

void hostDetail(char* buffer, std::size_t size, const siginfo_t* info, const void* context) {
  auto* uc = static_cast<const ucontext_t*>(context);
  std::snprintf(buffer, size, " address: %p\n host pc: %llx", info->si_addr,
                static_cast<unsigned long long>(uc->uc_mcontext.gregs[REG_RIP]));
}

void faultHandler(int, siginfo_t* info, void* context) {
  if (getThreadExceptionState() == kGuarded && guardJump) siglongjmp(*guardJump, 1);
  char detail[400];
  if (FaultDetailProc proc = detailProc.load())
    proc(detail, sizeof detail);
  else
    hostDetail(detail, sizeof detail, info, context);
  char text[kMessageBufferSize];
  int n = std::snprintf(text, sizeof text, "%s: Fatal Error: Illegal memory access\n%s\n", kWarningTitle, detail);
  if (n > 0) writeAll(text, std::min(static_cast<std::size_t>(n), sizeof text - 1));
  _exit(255);
}

void install() {
  struct sigaction action {};
  action.sa_sigaction = faultHandler;
  action.sa_flags = SA_SIGINFO | SA_ONSTACK;
  sigemptyset(&action.sa_mask);
  if (sigaction(SIGSEGV, &action, nullptr) != 0) WarningF("sigaction (SIGSEGV) failed");
  if (sigaction(SIGBUS, &action, nullptr) != 0) WarningF("sigaction (SIGBUS) failed");
}
}  // namespace

void installFaultHandler() { std::call_once(installOnce, install); }

void setFaultDetailProc(FaultDetailProc proc) { detailProc = proc; }

namespace {
// The signal stack of one thread, given back when the thread ends.
struct SignalStack {
  std::unique_ptr<char[]> memory;
  ~SignalStack() {
    if (!memory) return;
    stack_t off{};
    off.ss_flags = SS_DISABLE;
    sigaltstack(&off, nullptr);
  }
};
thread_local SignalStack signalStack;
}  // namespace

void ensureSignalStack() {
  stack_t current{};
  if (sigaltstack(nullptr, &current) == 0 && !(current.ss_flags & SS_DISABLE)) return;
  constexpr std::size_t size = 64 * 1024;
  signalStack.memory = std::make_unique<char[]>(size);
  stack_t s{};
  s.ss_sp = signalStack.memory.get();
  s.ss_size = size;
  sigaltstack(&s, nullptr);
}

Err MemMove(void* dst, const void* src, Int32 numBytes) {
  if (numBytes <= 0 || dst == src) return errNone;
  sigjmp_buf env;
  volatile bool faulted = false;
  setThreadExceptionState(kGuarded);
  if (sigsetjmp(env, 1) == 0) {
    guardJump = &env;
    std::memmove(dst, src, static_cast<std::size_t>(numBytes));
  } else {
    faulted = true;
  }
  guardJump = nullptr;
  setThreadExceptionState(0);
  if (faulted) WarningF("MemMove: memory fault while copying %ld bytes from %p to %p; the copy ended early",
                        static_cast<long>(numBytes), src, dst);
  return errNone;
}

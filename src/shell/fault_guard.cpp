#include "shell/fault_guard.h"

#include <pthread.h>

#include <algorithm>
#include <csetjmp>
#include <csignal>
#include <cstdlib>
#include <iterator>
#include <mutex>
#include <vector>

namespace {

constexpr int kGuardedSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE};

thread_local sigjmp_buf* t_current_guard = nullptr;

// The thread's alternate signal stack. It is switched off before its memory goes with the thread,
// so that the system never points at freed memory.
struct AltStack {
  std::vector<char> memory;
  ~AltStack() {
    if (memory.empty()) return;
    stack_t off{};
    off.ss_flags = SS_DISABLE;
    sigaltstack(&off, nullptr);
  }
};
thread_local AltStack t_alt_stack;

// The handlers installed before ours, one per guarded signal; written once, before ours goes in.
struct sigaction g_previous[std::size(kGuardedSignals)];

// A fault outside any guard goes on to the handler that was there before ours (a sanitizer's
// report, a crash reporter), called directly with the original siginfo and context so that it
// sees the real fault address and registers, and with the signals blocked that its own delivery
// would block. Restoring that handler and raising the signal again would show it the raise
// instead of the fault; restoring it and returning, so that the instruction faults again, would
// take our handler away from every other thread's guards for good, and a signal that was sent
// rather than caused would not come back.
void on_fault(int sig, siginfo_t* info, void* context) {
  if (t_current_guard) siglongjmp(*t_current_guard, sig);
  const auto* slot = std::find(std::begin(kGuardedSignals), std::end(kGuardedSignals), sig);
  const struct sigaction& before = g_previous[slot - std::begin(kGuardedSignals)];
  const bool has_handler = (before.sa_flags & SA_SIGINFO) ||
                           (before.sa_handler != SIG_DFL && before.sa_handler != SIG_IGN);
  if (has_handler) {
    sigset_t mask = before.sa_mask;
    if (!(before.sa_flags & SA_NODEFER)) sigaddset(&mask, sig);
    pthread_sigmask(SIG_BLOCK, &mask, nullptr);  // returning restores the interrupted mask
    if (before.sa_flags & SA_SIGINFO) {
      before.sa_sigaction(sig, info, context);
    } else {
      before.sa_handler(sig);
    }
    return;
  }
  // An ignored signal that was sent stays ignored; a real fault cannot be ignored.
  if (before.sa_handler == SIG_IGN && info->si_code <= 0) return;
  // The default action ends the program as it would have without us.
  std::signal(sig, SIG_DFL);
  std::raise(sig);
}

void install_handlers() {
  static std::once_flag once;
  std::call_once(once, [] {
    struct sigaction sa {};
    sa.sa_sigaction = on_fault;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_NODEFER;
    for (size_t i = 0; i < std::size(kGuardedSignals); ++i) {
      sigaction(kGuardedSignals[i], &sa, &g_previous[i]);
    }
  });
  // A stack overflow leaves no stack to handle the fault on; give each thread its own.
  if (t_alt_stack.memory.empty()) {
    t_alt_stack.memory.resize(SIGSTKSZ > 65536 ? SIGSTKSZ : 65536);
    stack_t ss{};
    ss.ss_sp = t_alt_stack.memory.data();
    ss.ss_size = t_alt_stack.memory.size();
    sigaltstack(&ss, nullptr);
  }
}

}  // namespace

bool fault_guard_run(void (*fn)(void*), void* arg) {
  install_handlers();
  sigjmp_buf env;
  sigjmp_buf* outer = t_current_guard;
  // savemask = 1: the signal mask is restored on the way back from a fault.
  if (sigsetjmp(env, 1) != 0) {
    t_current_guard = outer;
    return false;
  }
  t_current_guard = &env;
  bool ok = true;
  try {
    fn(arg);
  } catch (...) {
    ok = false;
  }
  t_current_guard = outer;
  return ok;
}

#include "shell/fault_guard.h"

#include <csetjmp>
#include <csignal>
#include <cstdlib>
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

void on_fault(int sig) {
  if (t_current_guard) siglongjmp(*t_current_guard, sig);
  // A fault outside any guard: let the default action end the program as it would have.
  std::signal(sig, SIG_DFL);
  std::raise(sig);
}

void install_handlers() {
  static std::once_flag once;
  std::call_once(once, [] {
    struct sigaction sa {};
    sa.sa_handler = on_fault;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_ONSTACK | SA_NODEFER;
    for (int sig : kGuardedSignals) sigaction(sig, &sa, nullptr);
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

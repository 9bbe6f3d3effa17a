// A guard for processor faults: runs a function and turns a fault inside it (SIGSEGV, SIGBUS,
// SIGILL, SIGFPE, handled on an alternate stack) or an escaping C++ exception into a result, so
// that a faulting game or plug-in ends its run instead of the program. A fault outside every guard
// goes on to the handler that was installed before the guard's first run, or ends the program.
#pragma once

#include <type_traits>

// Runs fn(arg) on the calling thread. Returns true when it returned normally, false when a fault
// or an exception escaped it. Guards may nest; each thread has its own.
bool fault_guard_run(void (*fn)(void*), void* arg);

// Runs a callable object (a lambda) under the guard.
template <typename F>
bool fault_guard_call(F&& f) {
  using Callable = std::remove_reference_t<F>;
  return fault_guard_run([](void* p) { (*static_cast<Callable*>(p))(); },
                         const_cast<void*>(static_cast<const void*>(&f)));
}

#include "shell/fault_guard.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <stdexcept>
#include <thread>

namespace {

TEST(FaultGuard, CatchesSignalsAndExceptionsAndStaysUsable) {
  int runs = 0;
  EXPECT_TRUE(fault_guard_call([&] { ++runs; }));
  EXPECT_EQ(runs, 1);
  for (int sig : {SIGILL, SIGFPE, SIGSEGV, SIGBUS}) {
    bool after = false;
    EXPECT_FALSE(fault_guard_call([&] {
      std::raise(sig);
      after = true;
    })) << sig;
    EXPECT_FALSE(after);
  }
  EXPECT_FALSE(fault_guard_call([] { throw std::runtime_error("plug-in failed"); }));
  EXPECT_TRUE(fault_guard_call([] {}));
}

TEST(FaultGuard, NestedGuardsAndOtherThreadsAreIndependent) {
  bool inner_result = true;
  EXPECT_TRUE(
      fault_guard_call([&] { inner_result = fault_guard_call([] { std::raise(SIGFPE); }); }));
  EXPECT_FALSE(inner_result);
  bool thread_result = true;
  std::thread t([&] { thread_result = fault_guard_call([] { std::raise(SIGILL); }); });
  t.join();
  EXPECT_FALSE(thread_result);
}

// A fault outside every guard reaches the handler installed before the guard's, with its siginfo,
// while one inside a guard is still caught. In a fresh process: the guard takes the signals once.
volatile sig_atomic_t g_prior_calls = 0;
TEST(FaultGuardDeathTest, FaultsOutsideTheGuardReachTheHandlerBeforeIt) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        struct sigaction prior {};
        prior.sa_sigaction = [](int, siginfo_t* info, void*) {
          g_prior_calls = g_prior_calls + (info->si_signo == SIGFPE);
        };
        prior.sa_flags = SA_SIGINFO;
        sigaction(SIGFPE, &prior, nullptr);
        const bool caught = !fault_guard_call([] { std::raise(SIGFPE); });
        std::raise(SIGFPE);
        std::_Exit(caught ? 10 + g_prior_calls : 1);
      },
      testing::ExitedWithCode(11), "");
}

}  // namespace

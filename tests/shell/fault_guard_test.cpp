#include "shell/fault_guard.h"

#include <gtest/gtest.h>

#include <csignal>
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

}  // namespace

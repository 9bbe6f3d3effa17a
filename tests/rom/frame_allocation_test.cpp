// The frame path allocates nothing: after power-on, frames of the demo (picture, sprites, sound
// through the device) run on memory that power-on and the first frames set up.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "audio/sound.h"
#include "cart/cartridge.h"
#include "machine/frame.h"
#include "machine/machine.h"
#include "support/rom_runner.h"

namespace {
std::atomic<bool> g_counting{false};
std::atomic<int> g_allocations{0};

void* counted_malloc(std::size_t size) noexcept {
  if (g_counting) ++g_allocations;
  return std::malloc(size ? size : 1);
}
}  // namespace

// Every allocation of this test program goes through here (the nothrow form too: the library
// frees what it gives with the plain delete).
void* operator new(std::size_t size) {
  if (void* p = counted_malloc(size)) return p;
  throw std::bad_alloc();
}
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return counted_malloc(n); }
// Not inlined: the compiler would otherwise pair `new` at a call site with the free() inside.
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

TEST(FramePath, AllocatesNothingAfterTheFirstFrames) {
  ASSERT_EQ(cartridge.cartridge_load(rom_path("demo").c_str()), LoadResult::Ok);
  machine_power_on();
  sound_init();
  for (int i = 0; i < 5; ++i) machine_run_frame();
  g_counting = true;
  for (int i = 0; i < 120; ++i) machine_run_frame();
  g_counting = false;
  sound_release();
  machine_power_off();
  EXPECT_EQ(g_allocations, 0);
}

}  // namespace

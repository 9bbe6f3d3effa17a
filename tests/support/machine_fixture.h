// A machine powered on with a cartridge built in the test, torn down afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "cart/cartridge.h"
#include "machine/machine.h"
#include "ppu/ppu.h"
#include "support/ines_builder.h"
#include "support/recording_host.h"

class MachineFixture : public ::testing::Test {
 protected:
  void TearDown() override {
    if (shadow_context) machine_power_off();
  }

 public:
  // Powers on as at program start: the PPU state a previous test left does not carry over.
  void power_on(const InesBuilder& b) {
    ppu = {};
    joypad[0] = joypad[1] = {};
    TempFile f(b.build());
    const LoadResult r = cartridge.cartridge_load(f.path());
    ASSERT_TRUE(r == LoadResult::Ok || r == LoadResult::DirtyHeader);
    machine_power_on();
  }

  uint8_t* flat() { return shadow_context->memory; }

  // Runs code placed in RAM at $0200 for a budget; the CPU's registers stay as they were.
  uint32_t run_code(const std::vector<uint8_t>& code, uint32_t budget) {
    std::memcpy(flat() + 0x200, code.data(), code.size());
    CpuContext ctx;
    cpu_get_context(&ctx);
    ctx.pc = 0x0200;
    cpu_set_context(&ctx);
    const uint32_t r = cpu_execute(budget);
    cpu_get_context(shadow_context);
    return r;
  }

  CpuContext context() {
    CpuContext ctx;
    cpu_get_context(&ctx);
    return ctx;
  }

  RecordingHost host_;
};

// A freshly reset APU, stamped by a test clock instead of the CPU's cycle counter.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "audio/apu.h"

class ApuTest : public ::testing::Test {
 public:
  static inline uint32_t clock_ = 0;
  static uint32_t test_clock(uint32_t) { return clock_; }

  static void write(std::initializer_list<std::pair<uint32_t, int>> writes) {
    for (auto [address, value] : writes) apu_apply_write(address, static_cast<uint8_t>(value));
  }
  // Rendered block (silent: every sample 128), or levels of one generator.
  static std::vector<uint8_t> render(uint32_t count) {
    std::vector<uint8_t> block(count);
    apu_render(block.data(), count);
    return block;
  }
  static bool silent(const std::vector<uint8_t>& b) {
    return std::all_of(b.begin(), b.end(), [](uint8_t s) { return s == 128; });
  }
  template <typename Generator>
  static std::vector<int> run(Generator generator, int count) {
    std::vector<int> levels(count);
    for (int& level : levels) level = generator();
    return levels;
  }

 protected:
  void SetUp() override {
    apu_cycle_source = test_clock;
    apu_reset_bus_write = apu_log_write;
    apu_channel_enabled = kApuChannelAll;
    clock_ = 0;
    apu_reset();
    apu_render(nullptr, 0);
  }
  void TearDown() override {
    apu_cycle_source = saved_source_;
    apu_reset_bus_write = saved_bus_;
  }

 private:
  ApuCycleSource saved_source_ = apu_cycle_source;
  ApuBusWrite saved_bus_ = apu_reset_bus_write;
};

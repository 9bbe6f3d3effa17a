// A game running on the emulation thread as the window runs it, under a recording host whose
// clock moves on at every read; stopped and released after each test.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "machine/emulation.h"
#include "machine/machine.h"
#include "support/ines_builder.h"
#include "support/recording_host.h"

template <typename HostType = RecordingHost>
class RunningGameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_.clock_step = 1;
    emu_requests = 0;
  }
  void TearDown() override {
    EXPECT_TRUE(emulation_stop_and_wait());
    EXPECT_TRUE(emulation_thread_release());
    emu_requests = 0;
  }

  static bool wait_for(const std::function<bool()>& condition) {
    for (int i = 0; i < 2000 && !condition(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return condition();
  }
  // Main loop JMP $8000 with NMI on; the NMI handler INC $10, RTI: $10 counts the frames run.
  static InesBuilder counting_rom() {
    InesBuilder b;
    b.at(0x8000, {0xA9, 0x80, 0x8D, 0x00, 0x20, 0x4C, 0x05, 0x80})
        .at(0x9000, {0xE6, 0x10, 0x40})
        .vectors(0x8000, 0x9000);
    return b;
  }
  static void start(const InesBuilder& b = counting_rom()) {
    TempFile rom(b.build());
    ASSERT_NE(emulation_thread_start(rom.path()), nullptr);
    ASSERT_TRUE(wait_for([] { return emu_stop == 0; }));
  }
  // A byte of the running game's memory (-1 without a game), and a write to it.
  static int peek(uint16_t address) {
    int value = -1;
    emulation_call([&] { value = shadow_context->memory[address]; });
    return value;
  }
  static void poke(uint16_t address, uint8_t value) {
    EXPECT_TRUE(emulation_call([&] { shadow_context->memory[address] = value; }));
  }

  HostType host_;
};

#include "machine/emulation.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include "cart/cartridge.h"
#include "cart/mapper.h"
#include "cpu/cpu.h"
#include "machine/machine.h"
#include "ppu/ppu.h"
#include "shell/plugins.h"
#include "shell/registry.h"
#include "state/battery.h"
#include "state/slots.h"
#include "support/running_game.h"

namespace {

namespace fs = std::filesystem;

class Emulation : public RunningGameTest<> {
 protected:
  void TearDown() override {
    RunningGameTest::TearDown();
    plugin_null_video();
    plugin_null_input();
    battery_config = {};
  }
  static int frames_counted() { return peek(0x10); }
};

TEST_F(Emulation, FailedLoadsShowTheirMessageAndRunNothing) {
  EXPECT_EQ(emulation_thread_start(nullptr), nullptr);
  ASSERT_NE(emulation_thread_start("/nonexistent/game.nes"), nullptr);
  ASSERT_TRUE(emulation_stop_and_wait());
  EXPECT_EQ(host_.shown(),
            std::vector<std::string>{"File I/O Error|Failed To Open ROM Image|!|owned"});
  EXPECT_EQ(emu_stop, 1);
}

TEST_F(Emulation, RunsFramesServesRequestsAndStopsCleanly) {
  start();
  ASSERT_TRUE(wait_for([] { return frames_counted() >= 3; }));

  // Paused: passes go on but no frame runs.
  emu_requests |= REQUEST_PAUSE;
  const int before = frames_counted();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(frames_counted(), before);
  emu_requests &= uint16_t(~REQUEST_PAUSE);
  ASSERT_TRUE(wait_for([&] { return frames_counted() != before; }));  // the byte wraps

  EXPECT_TRUE(emulation_stop_and_wait());
  EXPECT_FALSE(emulation_running());
  EXPECT_EQ(cartridge.prg_rom, nullptr);
  EXPECT_EQ(shadow_context, nullptr);
  EXPECT_GE(host_.invalidations, 1);
  // No run: requests are refused rather than run against a machine that is gone.
  EXPECT_FALSE(emulation_call([] {}));
}

TEST_F(Emulation, AFaultingPluginEndsTheRunWithAMessage) {
  static std::atomic<int> renders{0};
  renders = 0;
  video_plugin.render = [] {
    if (++renders == 3) std::raise(SIGSEGV);
  };
  TempFile rom(counting_rom().build());
  ASSERT_NE(emulation_thread_start(rom.path()), nullptr);
  ASSERT_TRUE(wait_for([] { return !emulation_running(); }));
  EXPECT_EQ(host_.shown(),
            std::vector<std::string>{
                "Error|An error has occured in emulation...Stopping Execution!|-|owned"});
  EXPECT_EQ(shadow_context, nullptr);
  EXPECT_EQ(cartridge.prg_rom, nullptr);
}

// The window's path of a battery cartridge: its RAM reaches the disk when the run stops and is
// back in place at the next power-on.
TEST_F(Emulation, BatteryRamIsWrittenWhenTheRunStopsAndReadAtTheNextStart) {
  TempDir saves;
  battery_config = {true, saves.path().string()};
  InesBuilder b = counting_rom();
  b.flags6 = 0x02;
  b.at(0x8100, {0xEE, 0x00, 0x60, 0x4C, 0x00, 0x80}).vectors(0x8100, 0x9000);  // INC $6000 first
  TempFile rom(b.build(), "quest.NES");  // saved as quest.sav, whatever the case
  for (const int power_ons : {1, 2}) {
    ASSERT_NE(emulation_thread_start(rom.path()), nullptr);
    ASSERT_TRUE(wait_for([] { return frames_counted() >= 2; }));
    ASSERT_TRUE(emulation_stop_and_wait());
    std::ifstream save(saves.path() / (fs::path(rom.path()).stem().string() + ".sav"));
    EXPECT_EQ(save.get(), power_ons);
  }
}

// A dirty header offers the sanitizer and runs; a second start is refused while it runs.
TEST_F(Emulation, DirtyHeaderRunsAndOnlyOneThreadRunsTheMachine) {
  InesBuilder b = counting_rom();
  b.junk[7] = 'X';
  TempFile rom(b.build());
  ASSERT_NE(emulation_thread_start(rom.path()), nullptr);
  ASSERT_TRUE(wait_for([] { return frames_counted() >= 1; }));
  EXPECT_EQ(host_.sanitizer_dialogs, 1);
  EXPECT_EQ(emulation_thread_start(rom.path()), nullptr);
  ASSERT_TRUE(emulation_stop_and_wait());
  EXPECT_NE(emulation_thread_start(rom.path()), nullptr);
}

// The window's commands that touch the machine (Reset, the mirroring items, Pause, quick save and
// load), hammered from this thread while a game runs. Built with ThreadSanitizer, this is the
// check that the request queue and the shared words keep the two threads apart.
TEST_F(Emulation, WindowCommandsHammeredWhileAGameRunsLeaveItRunning) {
  TempDir states;
  registry_set_string(kRegistryOptions, "StateDirectory", states.path().c_str());
  start();
  state_quick_save();  // so that every quick load finds its file

  using Command = void (*)();
  const Command commands[] = {
      [] { emulation_call([] { cpu_reset(); }); },
      [] { emulation_call(mapper_mirror_vertical); },
      [] { emulation_call(mapper_mirror_horizontal); },
      [] { emulation_call(mapper_mirror_single_low); },
      [] { emulation_call(mapper_mirror_single_high); },
      [] { emu_requests.fetch_xor(REQUEST_PAUSE); },
      state_quick_save,
      state_quick_load,
  };
  std::mt19937 random(7);
  int issued = 0;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  while (std::chrono::steady_clock::now() < end) {
    commands[random() % std::size(commands)]();
    ++issued;
  }
  emu_requests &= uint16_t(~REQUEST_PAUSE);

  EXPECT_GT(issued, 20);  // each call waits for a frame boundary: few under a loaded machine
  EXPECT_TRUE(emulation_running());
  const int before = frames_counted();
  EXPECT_TRUE(wait_for([&] { return frames_counted() != before; }));
  EXPECT_TRUE(host_.messages_copy().empty());
}

}  // namespace

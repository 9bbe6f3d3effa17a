// The hardware profile's sound: apu_timing's checks of the frame counter, the length counters,
// the DMC's rates, interrupt and stall pass; the DMC wave it leaves looping is heard at its rate
// and silenced by the PCM switch; a $4017 write restarts the sequence on the even cycle 3 or 4
// cycles later.
#include "audio/apu.h"
#include "audio/apu_hw.h"
#include "support/rom_runner.h"

namespace {

constexpr uint32_t kFrames = 60;
constexpr size_t kTail = 735 * 30;  // the last 30 frames: the sample loops, nothing else plays

TEST(HardwareSound, TimingChecksPassAndTheDmcWavePlaysAtItsRate) {
  HardwareProfile hardware;
  const RomRun run = run_rom("apu_timing", kFrames);
  ASSERT_EQ(run.memory[0x300], 0x01) << "check " << (run.memory[0x300] & 0x7F);
  ASSERT_EQ(run.sound.size(), kFrames * 735);
  // 17 bytes of 8 bits at 54 cycles each: 7,344 cycles, 181.25 samples at 735 per 29,780.5.
  std::vector<size_t> rises;
  for (size_t i = run.sound.size() - kTail; i < run.sound.size(); ++i) {
    if (run.sound[i - 1] < 128 && run.sound[i] >= 128) rises.push_back(i);
  }
  ASSERT_GT(rises.size(), 100u);
  const double period = double(rises.back() - rises.front()) / double(rises.size() - 1);
  EXPECT_NEAR(period, 181.25, 0.1);

  apu_channel_enabled = kApuChannelAll & ~kApuChannelPcm;
  const RomRun muted = run_rom("apu_timing", kFrames);
  apu_channel_enabled = kApuChannelAll;
  for (size_t i = muted.sound.size() - kTail; i < muted.sound.size(); ++i)
    ASSERT_EQ(muted.sound[i], 128) << "sample " << i;
}

TEST(HardwareSound, FrameFlagRisesAtTheEvenCycleAfterTheWritePlus29828) {
  for (const auto& [write_cycle, restart] :
       {std::pair<uint64_t, uint64_t>{1000, 1004}, {1001, 1004}, {1002, 1006}}) {
    apu_hw_power();
    apu_hw_write(0x4017, 0x00, write_cycle + 1);
    const uint64_t set = restart + 29828;
    EXPECT_EQ(apu_hw_read_status(set) & 0x40, 0) << write_cycle;  // read in the cycle before
    EXPECT_EQ(apu_hw_read_status(set + 1) & 0x40, 0x40) << write_cycle;
    EXPECT_FALSE(apu_hw.irq_line) << "the read clears the flag";
  }
}

}  // namespace

#include "audio/apu_fixture.h"

namespace {

std::vector<std::pair<int, int>> seen;  // per sample: square 1 reg1, triangle reg1
int8_t record_registers() {
  seen.emplace_back(apu_square[0].reg1, apu_triangle.reg1);
  return 0;
}
int8_t pcm_level;
int8_t constant_pcm() { return pcm_level; }

// Sample k applies entries stamped <= start + 40k, in log order: an entry stamped later holds
// back the ones behind it. Other addresses are not logged. The block ends on the clock.
TEST_F(ApuTest, WritesApplyInLogOrderOnceTheirStampIsReached) {
  for (uint32_t address : {0x3FFFu, 0x4014u, 0x4016u, 0x4017u}) apu_log_write(address, 9);
  for (auto [stamp, address, value] :
       {std::tuple{0u, 0x4001u, 1}, {81u, 0x4001u, 2}, {10u, 0x4009u, 3}}) {
    clock_ = stamp;
    apu_log_write(address, value);
  }
  clock_ = 5;
  seen.clear();
  apu_pcm_source = record_registers;
  render(5);
  const std::vector<std::pair<int, int>> expected = {{1, 0}, {1, 0}, {1, 0}, {2, 3}, {2, 3}};
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(apu_write_log.head, 3u);
  EXPECT_EQ(apu_render_position, 5);
}

// With no full check, 8192 writes make the ring read as empty; later writes overwrite the
// oldest slots and are applied in place of the lost ones.
TEST_F(ApuTest, RingWrapsWithoutAFullCheck) {
  for (int i = 0; i < 8192; ++i) apu_log_write(0x4015, 0x0F);
  render(1);
  for (int i = 0; i < 8192; ++i) apu_log_write(0x4015, 0x0F);
  apu_log_write(0x4009, 0x22);
  render(1);
  EXPECT_EQ(std::pair(apu_square[0].enabled, apu_triangle.reg1),
            std::pair(uint8_t{0}, uint8_t{0x22}));
}

// The sum is doubled, clamped to -128..127 and offset to unsigned; reset removes the source.
TEST_F(ApuTest, MixDoublesClampsAndOffsets) {
  apu_pcm_source = constant_pcm;
  for (auto [level, out] :
       {std::pair{0, 128}, {10, 148}, {-10, 108}, {63, 254}, {64, 255}, {-64, 0}}) {
    pcm_level = static_cast<int8_t>(level);
    EXPECT_EQ(render(1)[0], out) << level;
  }
  apu_reset();
  EXPECT_EQ(apu_pcm_source, nullptr);
}

// After reset a channel is silent until $4015 enables it. A channel muted by the user still runs
// (its one-frame length expires) but adds silence; one switched off in the mixer is not run at
// all (its length stays loaded).
TEST_F(ApuTest, SilentChannelsDisabledMutedOrSwitchedOff) {
  const std::pair<uint8_t, std::vector<std::pair<uint32_t, uint8_t>>> channels[] = {
      {kApuChannelSquare1, {{0x4000, 0x1F}, {0x4002, 0x40}, {0x4003, 0x18}}},
      {kApuChannelSquare2, {{0x4004, 0x1F}, {0x4006, 0x40}, {0x4007, 0x18}}},
      {kApuChannelTriangle, {{0x4008, 0x7F}, {0x400A, 0x40}, {0x400B, 0x18}}},
      {kApuChannelNoise, {{0x400C, 0x1F}, {0x400F, 0x18}}}};
  enum Mode { kPlaying, kNotEnabled, kMuted, kSwitchedOff };
  for (const auto& [bit, notes] : channels) {
    for (Mode mode : {kPlaying, kNotEnabled, kMuted, kSwitchedOff}) {
      SCOPED_TRACE(testing::Message() << "channel " << int{bit} << " mode " << mode);
      apu_reset();
      apu_channel_enabled = mode == kMuted ? kApuChannelAll & ~bit : kApuChannelAll;
      if (mode == kSwitchedOff) apu_channel_switches = kApuChannelAll & ~bit;
      apu_apply_write(0x4015, mode == kNotEnabled ? 0 : bit);
      for (auto [address, value] : notes) apu_apply_write(address, value);
      EXPECT_EQ(silent(render(SAMPLES_PER_FRAME - 1)), mode != kPlaying);
      render(3);  // the triangle counts from its third sample
      EXPECT_EQ(apu_read_status(0x4015), mode == kSwitchedOff ? 0x40 | bit : 0x40);
    }
  }
  apu_channel_enabled = kApuChannelAll;
}

}  // namespace

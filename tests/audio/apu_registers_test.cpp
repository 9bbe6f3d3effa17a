#include "audio/apu_fixture.h"

namespace {

constexpr int32_t kFrame = static_cast<int32_t>(SAMPLES_PER_FRAME);

// Timer and length reach a square only while it is enabled, and enabling loads nothing. $4003
// restarts the envelope but leaves phase and step alone; $4002 takes effect at once.
TEST_F(ApuTest, SquareTimerWritesLoadOnlyWhileEnabled) {
  for (int ch = 0; ch < 2; ++ch) {
    apu_reset();
    const uint32_t base = 0x4000 + 4 * ch;
    SquareChannel& sq = apu_square[ch];
    write({{base + 2, 0x34}, {base + 3, 0x0A}, {0x4015, 0x03}});
    EXPECT_EQ(std::tuple(sq.reg3, sq.length, sq.period), std::tuple(0x0A, 0, 0)) << ch;
    sq.phase = 5.5f;
    sq.step = 7;
    sq.envelope_count = 9;
    write({{base + 3, 0x0A}});
    EXPECT_EQ(std::tuple(sq.length, sq.period >> 16, sq.envelope_count, sq.phase, sq.step),
              std::tuple(127 * kFrame, 0x235, 0, 5.5f, 7))
        << ch;
    write({{base + 2, 0x99}});
    EXPECT_EQ(sq.period, 0x29A << 16) << ch;
  }
}

// $400B arms the three-sample delay even while disabled, but loads the counters only while
// enabled; $4008 reloads the linear counter only in the load phase.
TEST_F(ApuTest, TriangleCountersLoadOnlyWhileEnabled) {
  write({{0x4008, 0x10}, {0x400B, 0x08}});
  EXPECT_EQ(std::tuple(apu_triangle.delay, apu_triangle.linear, apu_triangle.length),
            std::tuple(3u, 0, 0u));
  write({{0x4015, 0x04}, {0x400B, 0x08}, {0x4008, 0x7F}});
  apu_triangle.counting = 1;
  write({{0x4008, 0x01}});
  EXPECT_EQ(std::tuple(apu_triangle.length, apu_triangle.linear),
            std::tuple(127u * kFrame, 0x7F * kFrame / 4));
}

// The noise length loads like the others (index 4 holds 19 frames) and $400F restarts the
// envelope; clearing a $4015 bit also zeroes the triangle's linear counter and delay. The status
// bits themselves are the APU cartridge's checks.
TEST_F(ApuTest, NoiseLengthAndClearedEnables) {
  apu_noise.envelope_count = 6;
  write({{0x400F, 0x20}, {0x4015, 0x0F}});
  EXPECT_EQ(std::tuple(apu_noise.length, apu_noise.envelope_count), std::tuple(0, 6));
  write({{0x400B, 0x08}, {0x400F, 0x20}});
  EXPECT_EQ(std::tuple(apu_noise.length, apu_noise.envelope_count), std::tuple(19 * kFrame, 0));
  write({{0x4015, 0x00}});
  EXPECT_EQ(std::tuple(apu_triangle.linear, apu_triangle.delay), std::tuple(0, 0u));
}

// The DMC keeps its sample only for status bit 4; its interrupt flag (bit 7) is only ever
// cleared: by $4015 and by $4010 with bit 7 clear.
TEST_F(ApuTest, DmcKeepsItsSampleForTheStatusOnly) {
  write({{0x4012, 0xFF}, {0x4013, 0xFF}, {0x4015, 0x10}, {0x4012, 0x10}, {0x4015, 0x10}});
  EXPECT_EQ(std::tuple(apu_dmc.sample_address, apu_dmc.sample_length, apu_dmc.sample_bits),
            std::tuple(0xFFC0u, 0xFF1u, 0xFF1u * 8));
  for (auto [address, value, status] :
       {std::tuple{0x4010u, 0x80, 0xD0}, {0x4010u, 0x00, 0x50}, {0x4015u, 0x00, 0x40}}) {
    apu_dmc.interrupt_flag = 1;
    write({{address, value}});
    EXPECT_EQ(apu_read_status(0x4015), status) << address << " " << value;
  }
  write({{0x4015, 0x10}});
  EXPECT_EQ(apu_dmc.sample_address, 0xC400u);
}

}  // namespace

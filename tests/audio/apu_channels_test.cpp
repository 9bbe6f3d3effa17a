#include <cstdlib>

#include "audio/apu_fixture.h"
#include "audio/apu_tables.h"

namespace {

constexpr double kCpuHz = CYCLES_PER_SAMPLE * double{kApuSampleRate};
auto square1 = [] { return apu_square_sample(0); };
constexpr uint32_t kFrame = SAMPLES_PER_FRAME;

// Square 1 at constant volume 15, its one-frame length halted.
void play_square1(int duty, int timer, uint8_t sweep = 0) {
  ApuTest::write({{0x4015, 0x01},
                  {0x4000, duty << 6 | 0x3F},
                  {0x4001, sweep},
                  {0x4002, timer},
                  {0x4003, 0x18 | timer >> 8}});
}

void play_triangle(int reg0, int timer, int length_index) {
  ApuTest::write(
      {{0x4015, 0x04}, {0x4008, reg0}, {0x400A, timer}, {0x400B, length_index << 3 | timer >> 8}});
}

// Over one second the share of negative samples is the duty, and the cycles counted are the CPU
// clock over 16 steps of timer + 1 cycles.
TEST_F(ApuTest, SquareDutyAndFrequency) {
  for (int duty = 0; duty < 4; ++duty) {
    for (int timer : {0x0FD, 0x3F0}) {
      apu_reset();
      play_square1(duty, timer);
      const auto levels = run(square1, kApuSampleRate);
      int negative = 0, cycles = 0;
      for (size_t i = 1; i < levels.size(); ++i) {
        negative += levels[i] == -15;
        cycles += levels[i - 1] == 15 && levels[i] == -15;
      }
      EXPECT_NEAR(negative / double{kApuSampleRate}, (duty ? 4 * duty : 2) / 16.0, 0.01) << duty;
      EXPECT_NEAR(cycles, kCpuHz / (16.0 * (timer + 1)), 1.0) << timer;
    }
  }
}

// Too short a period is silent, and so is one above the sweep limit of the shift while the
// negate bit is clear, whether or not the sweep is enabled.
TEST_F(ApuTest, SquareSilentOutsideThePlayablePeriods) {
  const std::tuple<int, int, bool> cases[] = {
      {2, 0, false},       {3, 0, true},        {0x3FE, 0, true},     {0x3FF, 0, false},
      {0x3FF, 0x08, true}, {0x554, 0x01, true}, {0x555, 0x01, false}, {0x7F0, 0x07, false}};
  for (auto [timer, sweep, audible] : cases) {
    apu_reset();
    play_square1(2, timer, sweep);
    const auto levels = run(square1, 200);
    EXPECT_EQ(std::count(levels.begin(), levels.end(), 0) == 0, audible) << timer << " " << sweep;
  }
}

// The first step falls on the first sample, then one every V + 1 quarter frames; the decay holds
// at 0, or wraps to 15 with the loop bit. Square and noise share the envelope.
TEST_F(ApuTest, EnvelopeStepsEveryVPlusOneQuarterFrames) {
  const std::tuple<int, int, int> cases[] = {
      {0x03, 735, 14},         {0x03, 736, 13},     {0x00, 183, 14},         {0x00, 184, 13},
      {0x03, 14 * 735 + 1, 0}, {0x03, 20 * 735, 0}, {0x23, 15 * 735 + 1, 15}};
  for (auto [reg0, sample, volume] : cases) {
    apu_reset();
    play_square1(2, 0x100);
    write({{0x4000, 0x80 | reg0}, {0x4003, 0x09}});
    EXPECT_EQ(std::abs(run(square1, sample).back()), volume) << reg0 << " " << sample;
    write({{0x4015, 0x08}, {0x400C, reg0}, {0x400F, 0x08}});
    run(apu_noise_sample, sample);
    EXPECT_EQ(15 - apu_noise.envelope_count, volume) << reg0 << " " << sample;
  }
}

// One sweep step on the first sample, then one every P + 1 half frames, by period >> shift of
// the fixed-point period; none without the enable bit or with shift 0.
TEST_F(ApuTest, SweepStepsEveryPPlusOneHalfFrames) {
  const std::tuple<int, int, int> cases[] = {
      {0x91, 735, 385},  {0x91, 736, 578},  {0x99, 736, 64},  {0xA2, 1102, 321},
      {0xA2, 1103, 401}, {0x90, 2000, 257}, {0x11, 2000, 257}};
  for (auto [sweep, samples, period] : cases) {
    apu_reset();
    play_square1(2, 0x100, sweep);
    run(square1, samples);
    EXPECT_EQ(apu_square[0].period >> 16, period) << sweep << " after " << samples;
  }
}

// The triangle's counters hold for two samples after $400B and count from the third, never with
// the control bit set; the sequencer runs while both counters do and the timer is 3 or more.
TEST_F(ApuTest, TriangleCountersAndDelay) {
  const int32_t linear = 0x10 * kFrame / 4, full = 0x7F * kFrame / 4;
  const uint32_t length = 127 * kFrame;
  for (auto [reg0, length_index, timer, samples, left, running] :
       {std::tuple{0x10, 1, 0x100, 2, std::pair{linear, length}, true},
        {0x10, 1, 0x100, 10, std::pair{linear - 8, length - 8}, true},
        {0x90, 1, 0x100, 5000, std::pair{linear, length}, true},
        {0x01, 1, 0x100, 184, std::pair{1, length - 182}, true},
        {0x01, 1, 0x100, 185, std::pair{0, length - 183}, false},
        {0x7F, 3, 0x100, 736, std::pair{full - 734, 1u}, true},
        {0x7F, 3, 0x100, 737, std::pair{full - 735, 0u}, false},
        {0x7F, 1, 2, 100, std::pair{full - 98, length - 98}, false}}) {
    apu_reset();
    play_triangle(reg0, timer, length_index);
    run(apu_triangle_sample, samples - 1);
    const float phase = apu_triangle.phase;
    apu_triangle_sample();
    EXPECT_EQ(std::pair(apu_triangle.linear, apu_triangle.length), left) << reg0 << " " << samples;
    EXPECT_EQ(apu_triangle.phase != phase, running) << reg0 << " " << samples;
  }
}

// The level climbs 0, 2 ... 16, falls to -16 and back, one step per timer + 1 cycles.
TEST_F(ApuTest, TriangleWaveformAndFrequency) {
  play_triangle(0x90, 0x200, 1);
  std::vector<int> steps;
  for (int level : run(apu_triangle_sample, kApuSampleRate)) {
    if (steps.empty() || level != steps.back()) steps.push_back(level);
  }
  for (int i = 1; i <= 32; ++i)
    EXPECT_EQ(steps[i - 1], i <= 8 ? 2 * i : i <= 24 ? 32 - 2 * i : 2 * i - 64) << i;
  EXPECT_NEAR(steps.size() / 32.0, kCpuHz / (32.0 * 0x201), 1.0);
}

// The register starts at 0x11 and the table is its low byte after each shift. The sequence
// repeats every 7905 entries, so the next build is this table read on from entry 16384.
TEST(ApuNoiseTable, BuiltFromTheShiftRegisterAndContinuedByTheNextBuild) {
  apu_noise_shift_register = 0x11;
  apu_build_noise_table();
  const std::vector<uint8_t> first(apu_noise_table, apu_noise_table + kNoiseTableSize);
  EXPECT_EQ(std::vector<uint8_t>(first.begin(), first.begin() + 8),
            (std::vector<uint8_t>{0x08, 0x04, 0x02, 0x01, 0x00, 0x80, 0x40, 0x20}));
  EXPECT_EQ(apu_noise_shift_register, 0x2Du);
  size_t period = 1;
  while (!std::equal(first.begin() + period, first.end(), first.begin())) ++period;
  EXPECT_EQ(period, 7905u);
  apu_build_noise_table();
  for (size_t i = 0; i < kNoiseTableSize; ++i)
    ASSERT_EQ(apu_noise_table[i], first[(kNoiseTableSize + i) % 7905]) << i;
}

// Short mode wraps at 93 only when the position passes it, so from beyond 93 it runs to the end
// first. Period index 4 (64 cycles) is longer than a sample, so every position is seen.
TEST_F(ApuTest, NoisePositionWraps) {
  for (auto [mode, start, highest] :
       {std::tuple{0x84, 0, 92}, {0x84, 100, 16383}, {0x04, 0, 16383}}) {
    apu_reset();
    write({{0x4015, 0x08}, {0x400C, 0x3F}, {0x400E, mode}, {0x400F, 0x08}});
    apu_noise.position = start;
    int32_t high = 0;
    for (int i = 0; i < 30000; ++i) high = std::max(high, (apu_noise_sample(), apu_noise.position));
    EXPECT_EQ(high, highest) << mode << " from " << start;
    const double end = mode == 0x04 ? 30000 * CYCLES_PER_SAMPLE / 64 - 16384 : apu_noise.position;
    EXPECT_NEAR(apu_noise.position, end, 1.0) << "one step per 64 cycles";
  }
}

}  // namespace

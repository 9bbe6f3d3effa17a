// The hardware profile's mixer and output. The console's DACs mix nonlinearly: the two pulses
// through one curve, triangle, noise and DMC through another (the published lookup tables). The
// mixed level is a step function of the CPU cycle; each change is recorded with its cycle, and
// once per frame the frame's cycles are cut into exactly as many equal boxes as the block has
// samples and each sample is the level's mean over its box (a box filter, which keeps the
// square waves' harmonics above 22 kHz from folding back loudly). A frame of 29,780 or 29,781
// cycles thus always gives its 735 samples, so sound never drifts from the picture; the pitch
// moves by at most one cycle in 29,780. Last come the two first-order high-pass filters of the
// console's output stage (90 Hz and 440 Hz), which also take away the mixer's offset.
#include <array>
#include <cmath>

#include "audio/apu_hw.h"

namespace {

constexpr std::array<float, 31> kPulseTable = [] {
  std::array<float, 31> t{};
  for (int n = 1; n < 31; ++n) t[n] = float(95.52 / (8128.0 / n + 100.0));
  return t;
}();

// Indexed by 3 * triangle + 2 * noise + DMC.
constexpr std::array<float, 203> kTndTable = [] {
  std::array<float, 203> t{};
  for (int n = 1; n < 203; ++n) t[n] = float(163.67 / (24329.0 / n + 100.0));
  return t;
}();

// Output scale: a full-volume pulse pair swings about +-33, the DMC's whole range about +-72.
constexpr float kGain = 256.0f;

constexpr double kSampleRate = 44100.0;
constexpr double kPi = 3.14159265358979323846;
// y[n] = a * (y[n-1] + x[n] - x[n-1]) with a = RC / (RC + dt).
constexpr float high_pass_coefficient(double hz) {
  const double rc = 1.0 / (2.0 * kPi * hz);
  return float(rc / (rc + 1.0 / kSampleRate));
}
constexpr float kHighPass[2] = {high_pass_coefficient(90.0), high_pass_coefficient(440.0)};

// A frame has fewer cycles than this; one change per cycle at most.
constexpr uint32_t kMaxChanges = 32768;
struct Change {
  uint32_t at;  // cycles after the block's start
  float level;
};
Change g_changes[kMaxChanges];
uint32_t g_change_count = 0;

}  // namespace

float apu_hw_mix(int pulse1, int pulse2, int triangle, int noise, int dmc) {
  return kPulseTable[pulse1 + pulse2] + kTndTable[3 * triangle + 2 * noise + dmc];
}

void apu_hw_mix_change(uint64_t at, float level) {
  if (level == apu_hw.level) return;
  apu_hw.level = level;
  const uint32_t offset = uint32_t(at - apu_hw.block_start);
  if (g_change_count && g_changes[g_change_count - 1].at == offset) {
    g_changes[g_change_count - 1].level = level;
  } else if (g_change_count < kMaxChanges) {
    g_changes[g_change_count++] = {offset, level};
  }
}

void apu_hw_mix_clear() { g_change_count = 0; }

void apu_hw_render(uint8_t* buffer, uint32_t count) {
  ApuHw& s = apu_hw;
  const double cycles = double(s.now - s.block_start);
  const double box = cycles / count;
  float level = s.block_level;
  uint32_t next = 0;
  double from = 0.0;
  for (uint32_t i = 0; i < count; ++i) {
    const double to = box * (i + 1);
    double sum = 0.0;
    for (; next < g_change_count && g_changes[next].at < to; ++next) {
      sum += level * (g_changes[next].at - from);
      from = g_changes[next].at;
      level = g_changes[next].level;
    }
    sum += level * (to - from);
    from = to;
    float x = box > 0.0 ? float(sum / box) : level;
    for (int f = 0; f < 2; ++f) {
      const float y = kHighPass[f] * (s.filter_out[f] + x - s.filter_in[f]);
      s.filter_in[f] = x;
      s.filter_out[f] = y;
      x = y;
    }
    const long v = std::lround(x * kGain);
    buffer[i] = uint8_t(128 + (v < -128 ? -128 : v > 127 ? 127 : v));
  }
  g_change_count = 0;
  s.block_start = s.now;
  s.block_level = s.level;
}

// The demo cartridge: it must run without meeting an unsupported opcode, show a picture whose
// landscape scrolls under a still status bar, let joypad 1 move the player, and play its tune.
#include <cmath>
#include <set>
#include <tuple>

#include "support/rom_runner.h"

namespace {

constexpr uint16_t kPlayerX = 0x0207, kPlayerY = 0x0204;  // sprite 1 in the shadow page
constexpr uint32_t kRight = 0x80, kLeft = 0x40, kDown = 0x20, kUp = 0x10;

// Strength of frequency `hz` in 44,100 Hz samples (Goertzel).
double power_at(const std::vector<uint8_t>& s, size_t from, size_t count, double hz) {
  const double w = 2 * M_PI * hz / 44100, k = 2 * std::cos(w);
  double s1 = 0, s2 = 0;
  for (size_t i = from; i < from + count; ++i) {
    const double s0 = (s[i] - 128.0) + k * s1 - s2;
    s2 = s1;
    s1 = s0;
  }
  return (s1 * s1 + s2 * s2 - k * s1 * s2) / double(count);
}

// It runs without an unsupported opcode and shows many colours with a white title. 30 frames
// later the landscape has moved 30 pixels to the left and the status bar is as it was (the
// compared band, lines 144-159, hills, has no sprites in it).
TEST(DemoRom, ShowsAPictureThatScrollsUnderAStillStatusBar) {
  const RomRun a = run_rom("demo", 120), b = run_rom("demo", 150);
  EXPECT_EQ(b.cpu_result, kBudgetSpent) << "stopped at $" << std::hex << b.cpu_result;
  std::set<int> colours;
  for (int y = 8; y <= 232; ++y)
    for (int x = 0; x < 256; ++x) colours.insert(b.colour_at(x, y));
  EXPECT_GE(colours.size(), 10u);
  int title_pixels = 0;  // white text on the status bar
  for (int y = 16; y < 24; ++y)
    for (int x = 0; x < 256; ++x) title_pixels += b.colour_at(x, y) == 0x30;
  EXPECT_GT(title_pixels, 100);

  // The pixels of lines y0 to y1 - 1, x below `width`, where b shows what a showed `shift` further.
  const auto same = [&](int y0, int y1, int width, int shift) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = 0; x < width; ++x) n += b.colour_at(x, y) == a.colour_at(x + shift, y);
    return n;
  };
  EXPECT_EQ(same(144, 160, 226, 30), 16 * 226) << "the landscape moved 30 pixels";
  EXPECT_EQ(same(8, 32, 192, 0), 24 * 192) << "the status bar stayed";
  EXPECT_LT(same(144, 160, 256, 0), 16 * 256) << "the landscape did change on the screen";

  // Frames 10-100 lie in the first bar, in C: the triangle's bass sounds C3 (timer 427, an
  // octave below a square) and no square plays C3; both squares play G4 (timer 284) and the
  // triangle does not. 200 Hz and 450 Hz are in no note of the bar.
  ASSERT_EQ(b.sound.size(), 150u * 735);
  std::set<uint8_t> levels(b.sound.begin(), b.sound.end());
  EXPECT_GE(levels.size(), 24u) << "too few distinct levels for four channels";
  const size_t start = 10 * 735, count = 90 * 735;
  const double c3 = 1789773.0 / (32 * 428), g4 = 1789773.0 / (16 * 285);
  const double off =
      (power_at(b.sound, start, count, 200) + power_at(b.sound, start, count, 450)) / 2;
  EXPECT_GT(power_at(b.sound, start, count, c3), 10 * off) << "no bass on the triangle";
  EXPECT_GT(power_at(b.sound, start, count, g4), 10 * off) << "no G4 on the squares";
}

TEST(DemoRom, JoypadMovesThePlayer) {
  const RomRun still = run_rom("demo", 90);
  const auto sign = [](int d) { return (d > 0) - (d < 0); };
  for (const auto& [stream, x, y] :
       {std::tuple{kRight, 1, 0}, {kLeft, -1, 0}, {kDown, 0, 1}, {kUp, 0, -1}}) {
    const RomRun run = run_rom("demo", 90, {{30, 1, stream}});
    const int dx = run.memory[kPlayerX] - still.memory[kPlayerX];
    const int dy = run.memory[kPlayerY] - still.memory[kPlayerY];
    EXPECT_EQ(std::pair(sign(dx), sign(dy)), std::pair(x, y)) << "stream " << stream;
    EXPECT_GE(std::abs(dx) + std::abs(dy), 20) << "stream " << stream;
  }
}

}  // namespace

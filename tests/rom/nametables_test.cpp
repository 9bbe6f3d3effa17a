// `vantrell-cli run --nametables` writes the name-table viewer's picture of the last frame.
#include <cstdlib>
#include <vector>

#include "ppu/nametable_view.h"
#include "shell/headless/headless_run.h"
#include "shell/headless/image_files.h"
#include "support/temp_files.h"
#include "support/rom_runner.h"

namespace {

TEST(NametablesRom, TheToolWritesThePictureAsA512By480Png) {
  TempDir dir;
  const std::string written = dir / "cli.png", expected = dir / "expected.png";
  const std::string command = std::string("\"") + VANTRELL_CLI + "\" run \"" + rom_path("scroll") +
                              "\" --frames 10 --palette 3 --nametables \"" + written + "\"";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  const std::vector<uint8_t> png = read_file(written);
  ASSERT_GT(png.size(), 24u);
  // IHDR: width and height, big-endian.
  EXPECT_EQ(std::vector<uint8_t>(png.begin() + 16, png.begin() + 24),
            (std::vector<uint8_t>{0, 0, 2, 0, 0, 0, 1, 0xE0}));

  HeadlessRun run;
  run.frames = 10;
  run.keep_nametables = true;
  run.nametable_palette = 3;
  const HeadlessResult r = headless_run(rom_path("scroll"), run);
  ASSERT_TRUE(
      write_png(expected, pixels_to_rgb(r.nametables), kNametableViewWidth, kNametableViewHeight));
  EXPECT_EQ(png, read_file(expected));
}

}  // namespace

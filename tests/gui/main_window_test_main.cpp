// The window tests' entry point: one offscreen application and one recording host for all tests,
// with the settings file in a folder of this run's own.
#include <stdlib.h>

#include <atomic>
#include <filesystem>
#include <vector>

#include "machine/machine.h"
#include "main_window_test_support.h"
#include "ppu/palettes.h"
#include "shell/host.h"

namespace {

QtHost* g_host = nullptr;

const VideoInitInfo* g_video_info = nullptr;
std::atomic<int> g_renders{0};

void test_video_init(VideoInitInfo* info) { g_video_info = info; }

void test_video_render() {
  const VideoInitInfo* info = g_video_info;
  if (!info || !info->frame_buffer) return;
  std::vector<uint32_t> pixels(256 * 240);
  for (int y = 0; y < 240; ++y) {
    for (int x = 0; x < 256; ++x) {
      const PaletteEntry& c = info->palette[info->frame_buffer[y * 272 + x]];
      pixels[y * 256 + x] = uint32_t(c.red) << 16 | uint32_t(c.green) << 8 | c.blue;
    }
  }
  info->hwnd->show_image(info->hwnd, pixels.data(), 256, 240, 256 * 4);
  ++g_renders;
}

}  // namespace

QtHost& test_host() { return *g_host; }

void install_test_video_plugin() {
  plugin_null_video();
  g_renders = 0;
  video_plugin.init = test_video_init;
  video_plugin.render = test_video_render;
}

int test_video_renders() { return g_renders; }

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  char config[] = "/tmp/vantrell-gui-XXXXXX";
  if (!mkdtemp(config)) return 1;
  setenv("XDG_CONFIG_HOME", config, 1);

  testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  QtHost qt_host;
  qt_host.set_test_mode(true);
  g_host = &qt_host;
  host_install(&qt_host);

  const int status = RUN_ALL_TESTS();

  host_install(nullptr);
  std::error_code ec;
  std::filesystem::remove_all(config, ec);
  return status;
}

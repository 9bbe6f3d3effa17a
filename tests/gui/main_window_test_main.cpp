// The window tests' entry point: one offscreen application and one recording host for all tests,
// with the settings file in a folder of this run's own.
#include <stdlib.h>

#include <atomic>
#include <filesystem>

#include "main_window_test_support.h"
#include "shell/host.h"

namespace {

QtHost* g_host = nullptr;

std::atomic<int> g_renders{0};

}  // namespace

QtHost& test_host() { return *g_host; }

void install_test_video_plugin() {
  plugin_null_video();
  g_renders = 0;
  video_plugin.render = [] { ++g_renders; };
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

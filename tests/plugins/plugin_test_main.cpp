// The plug-in tests' entry point: one offscreen application, and the settings file in a folder
// of this run's own.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "tests/plugins/plugin_test_support.h"

namespace {
std::string g_scratch;
}

const std::string& scratch_dir() { return g_scratch; }

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  char dir[] = "/tmp/vantrell-plugins-XXXXXX";
  if (!mkdtemp(dir)) return 1;
  g_scratch = dir;
  setenv("XDG_CONFIG_HOME", dir, 1);

  testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  const int status = RUN_ALL_TESTS();

  std::error_code ec;
  std::filesystem::remove_all(g_scratch, ec);
  return status;
}

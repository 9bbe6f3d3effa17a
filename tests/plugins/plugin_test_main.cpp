// The plug-in tests' entry point: one offscreen application, and the settings file in a folder
// of this run's own.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "tests/plugins/plugin_test_support.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  char dir[] = "/tmp/vantrell-plugins-XXXXXX";
  if (!mkdtemp(dir)) return 1;
  setenv("XDG_CONFIG_HOME", dir, 1);

  testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  const int status = RUN_ALL_TESTS();

  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
  return status;
}

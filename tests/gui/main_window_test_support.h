// Shared by the window tests: the recording host, a fixture with a fresh main window, a way to
// let the event loop run until something has happened, and a video plug-in that counts renders.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "machine/emulation.h"
#include "shell/plugins.h"
#include "shell/qt/main_window.h"
#include "shell/qt/qt_host.h"
#include "shell/qt/recent_roms.h"

// The host every window test runs under (test mode: boxes are recorded, not shown).
QtHost& test_host();

// Runs the event loop until pred holds or ms have passed; returns pred's last value.
inline bool wait_until(const std::function<bool()>& pred, int ms = 5000) {
  QElapsedTimer timer;
  timer.start();
  while (!pred()) {
    if (timer.elapsed() > ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(2);
  }
  return true;
}

inline std::string rom_path(const char* name) { return std::string(VANTRELL_ROM_DIR) + "/" + name; }
inline bool demo_missing() { return !std::filesystem::exists(rom_path("demo.nes")); }

// A video plug-in that only counts its renders.
void install_test_video_plugin();
int test_video_renders();

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test_host().clear_records();
    emu_requests = 0;
    recent_roms_write({});
    window = std::make_unique<MainWindow>();
    test_host().set_window(window.get());
  }
  void TearDown() override {
    window->stop_game();
    test_host().set_window(nullptr);
    window.reset();
    plugin_null_video();
    plugin_null_input();
    emu_requests = 0;
  }

  // Chooses a menu item as the user does.
  void choose(int id) { window->action(id)->trigger(); }
  bool checked(int id) { return window->action(id)->isChecked(); }

  std::unique_ptr<MainWindow> window;
};

// The program's only top-level window: the menu through which every feature is reached, the keys
// F1, F2, Alt+Enter and Alt+F4, and the client area the video plug-in draws into (a .nes file
// dropped on it is loaded). It talks to the emulation thread through emu_stop, emu_requests and
// emulation_call.
#pragma once

#include <QMainWindow>
#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <string>

#include "shell/plugin_api.h"

class QAction;
class ScreenWidget;

// The program's string table: the two halves of the window title and the window's class name.
inline constexpr const char* kTitleFirst = "Vantrell WIP - ";
inline constexpr const char* kTitleSecond = "For Windows 9x/2000";
inline constexpr const char* kWindowClassName = "Vantrell_Class";

inline constexpr int kClientWidth = 256;
inline constexpr int kClientHeight = 240;

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  MainWindow();
  ~MainWindow() override;

  // The window as the plug-ins see it.
  HostWindow* host_window() { return &host_window_; }
  ScreenWidget* screen() const { return screen_; }
  // The menu item with this command id, or null.
  QAction* action(int id) const;

  // Runs a menu command by id, as choosing the item does. Each command sets the check marks it
  // owns from the state it leaves, so Qt's own toggle of a chosen item does not matter.
  void command(int id);

  // Resizes the window so that its client area is width x height, leaving its position.
  void set_client_size(int width, int height);
  QSize client_size() const;

  // Stops a running game: emu_stop = 1, then waits up to 5000 ms for its thread to end, serving
  // the message boxes and dialogs the game may be waiting for meanwhile. True when no game runs.
  bool stop_game();
  // Stops a running game and starts the emulation thread on path. A game that would not stop
  // keeps the new one from starting: two emulation threads never run the machine at once. The
  // path goes to the front of File > Recent ROMs.
  void start_game(const char* path);
  // Exit asked for from outside the window (a signal): open dialogs and message boxes are
  // cancelled, then Exit runs from the outermost event loop.
  void request_exit();
  // True once Exit has run (menu, Alt+F4 or closing the window) or has been asked for.
  bool exiting() const { return exiting_ || exit_requested_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool focusNextPrevChild(bool) override { return false; }

 private:
  static MainWindow* from(HostWindow* w);
  static void host_show_image(HostWindow* w, const uint32_t* pixels, int width, int height,
                              int stride);
  static void host_set_fullscreen(HostWindow* w, int fullscreen);
  static void host_post_message(HostWindow* w, uint32_t message);
  static int host_key_down(HostWindow* w, int key);

  void set_checked(int id, bool checked);
  // Marks `chosen` and unmarks the other items of its group.
  void check_one_of(std::initializer_list<int> group, int chosen);
  // Sets the pause request around a modal piece of work; the check mark of Pause follows.
  template <typename Fn>
  void paused(Fn&& fn);

  void load_rom();
  void exit_program();
  void finish_requested_exit();
  void remember_rom(const char* path);
  void refresh_recent_menu();
  void open_recent(size_t index);
  void set_priority(uint32_t priority, int id);
  void set_zoom(int factor, int id);
  void toggle_channel(int id, uint8_t bit);
  void apply_sound_mask();
  void show_cursor(bool show);
  void set_full_screen(bool on);
  // Settings > Hardware Accuracy: keeps the choice and restarts a running game in it.
  void set_profile(bool hardware);

  ScreenWidget* screen_;
  std::map<int, QAction*> actions_;
  HostWindow host_window_{};

  std::mutex keys_mutex_;
  std::set<int> keys_down_;

  int cursor_count_ = 0;  // the cursor shows while this is 0 or more
  bool sound_enabled_ = true;
  uint8_t channel_mask_;
  bool exiting_ = false;
  bool exit_requested_ = false;
  int exit_retries_ = 0;
  std::string current_rom_;  // the game start_game started last
};

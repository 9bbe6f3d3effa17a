// The desktop's Host: message boxes, dialogs and the window title through Qt, settings through
// QSettings, sound through SDL. Whatever the emulation thread asks to show runs on the
// user-interface thread while the emulation thread waits for the answer.
#pragma once

#include <QString>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "shell/host.h"

class MainWindow;

class QtHost : public Host {
 public:
  // The main window: owner of the boxes and dialogs, the plug-ins' window. Null: none.
  void set_window(MainWindow* window) { window_ = window; }

  MessageResult message_box(const char* text, const char* caption, MessageButtons buttons,
                            MessageIcon icon, bool owned) override;
  void debug_output(const char* text) override;
  uint32_t milliseconds() override;
  void set_window_title(const char* title) override;
  void invalidate_window() override;
  HostWindow* plugin_window() override;

  bool settings_get_string(const char* key, const char* name, std::string* out) override;
  void settings_set_string(const char* key, const char* name, const char* text) override;
  bool settings_get_dword(const char* key, const char* name, uint32_t* out) override;
  void settings_set_dword(const char* key, const char* name, uint32_t value) override;

  void header_sanitizer_dialog() override;
  char* file_open_dialog(const char* title, const FileFilter* filters, int filter_count,
                         const char* initial_dir) override;
  char* file_save_dialog(const char* title, const FileFilter* filters, int filter_count,
                         const char* initial_dir) override;
  SoundDevice* sound_device_open() override;

  // The settings file (INI) on this system; the user's configuration folder, which
  // XDG_CONFIG_HOME relocates.
  static QString settings_file();

  // Test mode: message boxes are recorded and answered with their accepting button (OK, Yes)
  // instead of shown; file dialogs answer from a script (cancelled when it is empty); the header
  // sanitizer is recorded as a box with the caption "Header Sanitizing Tool". Boxes from the
  // emulation thread still travel to the user-interface thread first.
  struct ShownBox {
    std::string text;
    std::string caption;
    MessageButtons buttons;
    MessageIcon icon;
    bool owned;
    bool on_ui_thread;
  };
  struct FileDialogCall {
    std::string title;
    std::string filter;  // as handed to QFileDialog
    std::string directory;
  };
  void set_test_mode(bool on);
  std::vector<ShownBox> shown_boxes();
  std::vector<FileDialogCall> file_dialog_calls();
  void clear_records();
  // The next file dialog's answer: a path, or nullopt for Cancel.
  void script_file_dialog(std::optional<std::string> answer);

 private:
  char* file_dialog(bool save, const char* title, const FileFilter* filters, int filter_count,
                    const char* initial_dir);

  MainWindow* window_ = nullptr;

  std::mutex test_mutex_;
  bool test_mode_ = false;
  std::vector<ShownBox> shown_;
  std::vector<FileDialogCall> file_calls_;
  std::deque<std::optional<std::string>> file_answers_;

  std::mutex settings_mutex_;
};

// The core's only way out to the platform: message boxes, the debug output channel and the
// millisecond clock, with more operations as the desktop needs them. The desktop shell, the
// headless tool and the tests each install their own Host; until one is installed, the
// headless host answers.
#pragma once

#include <cstdint>
#include <string>

struct HostWindow;
class SoundDevice;  // audio/sound_device.h

// One entry of a file dialog's filter list, e.g. {"NES ROM Image (*.nes)", "*.nes"}.
struct FileFilter {
  const char* description;
  const char* pattern;
};
inline constexpr uint32_t kFileDialogPathSize = 260;

enum class MessageIcon { None, Information, Exclamation, Error, Question };
enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageResult { Ok, Cancel, Yes, No };

class Host {
 public:
  virtual ~Host() = default;

  // A modal message box with the given text, caption, buttons and icon. `owned` is false for the
  // boxes that have no owner window.
  virtual MessageResult message_box(const char* text, const char* caption, MessageButtons buttons,
                                    MessageIcon icon, bool owned) = 0;
  // One line (or fragment) for the debugger output channel.
  virtual void debug_output(const char* text) = 0;
  // Milliseconds from an arbitrary start, wrapping at 2^32.
  virtual uint32_t milliseconds() = 0;
  // The main window's title text, when there is a window.
  virtual void set_window_title(const char* /*title*/) {}
  // Repaints the whole main window (after a run ends).
  virtual void invalidate_window() {}
  // The window handed to the plug-ins as `hwnd`, or null without a window.
  virtual HostWindow* plugin_window() { return nullptr; }

  // The settings store: values under a key ("Software/Vantrell/Plugins" or ".../Options").
  // Strings longer than 255 bytes read as absent. Reads return false when the value is absent.
  virtual bool settings_get_string(const char* key, const char* name, std::string* out);
  virtual void settings_set_string(const char* key, const char* name, const char* text);
  virtual bool settings_get_dword(const char* key, const char* name, uint32_t* out);
  virtual void settings_set_dword(const char* key, const char* name, uint32_t value);

  // The modal Header Sanitizing Tool for the loaded image, run on the user-interface thread while
  // the caller waits. Without a window there is nothing to show.
  virtual void header_sanitizer_dialog() {}

  // The open and save file dialogs: a newly allocated buffer of kFileDialogPathSize bytes with
  // the chosen path, which the caller frees with delete[], or null when cancelled (or without a
  // window). `initial_dir` may be null or empty for the current directory.
  virtual char* file_open_dialog(const char* /*title*/, const FileFilter* /*filters*/,
                                 int /*filter_count*/, const char* /*initial_dir*/) {
    return nullptr;
  }
  virtual char* file_save_dialog(const char* /*title*/, const FileFilter* /*filters*/,
                                 int /*filter_count*/, const char* /*initial_dir*/) {
    return nullptr;
  }

  // Opens the platform's sound device (unsigned 8-bit mono, 44,100 Hz), or null when there is
  // none. The caller owns it and deletes it to close it.
  virtual SoundDevice* sound_device_open() { return nullptr; }
};

// The host in force: the installed one, or the headless host.
Host& host();
// Installs a host (not owned); null goes back to the headless host.
void host_install(Host* h);

// The headless host: message boxes go to standard error and answer with their default button
// (OK, or No for a yes/no question); debug output goes to standard error while the environment
// variable VANTRELL_DEBUG is set; the clock is the monotonic clock.
// Settings live in memory for the life of the process (enough for tests and the headless tool).
class HeadlessHost : public Host {
 public:
  MessageResult message_box(const char* text, const char* caption, MessageButtons buttons,
                            MessageIcon icon, bool owned) override;
  void debug_output(const char* text) override;
  uint32_t milliseconds() override;
  // A silent device whose buffers finish at once, so the sound output runs and the headless
  // tool records every block through sound_sink.
  SoundDevice* sound_device_open() override;
};

// A host for tests: records every message box, debug line and title, answers message boxes with
// a chosen result and has a clock the test drives (it may advance by a step on every read, so
// that paced loops move on). Installs itself for its lifetime. Safe to use from the emulation
// thread while the test thread reads it.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "shell/host.h"

struct RecordedMessage {
  std::string text;
  std::string caption;
  MessageButtons buttons;
  MessageIcon icon;
  bool owned;

  // "caption|text|icon", the icon as one of "-i!x?" (none, information, exclamation, error,
  // question), then "|buttons N" unless it is an OK box and "|owned" for a box with an owner.
  std::string line() const {
    std::string out = caption + "|" + text + "|" + "-i!x?"[int(icon)];
    if (buttons != MessageButtons::Ok) out += "|buttons " + std::to_string(int(buttons));
    return owned ? out + "|owned" : out;
  }
};

class RecordingHost : public Host {
 public:
  RecordingHost() { host_install(this); }
  ~RecordingHost() override { host_install(nullptr); }

  MessageResult message_box(const char* text, const char* caption, MessageButtons buttons,
                            MessageIcon icon, bool owned) override {
    std::lock_guard lock(mutex);
    messages.push_back({text, caption, buttons, icon, owned});
    return answer;
  }
  void debug_output(const char* text) override {
    std::lock_guard lock(mutex);
    debug_lines.emplace_back(text);
  }
  uint32_t milliseconds() override { return clock_ms.fetch_add(clock_step); }
  void set_window_title(const char* title) override {
    std::lock_guard lock(mutex);
    titles.emplace_back(title);
  }
  void invalidate_window() override { ++invalidations; }
  void header_sanitizer_dialog() override { ++sanitizer_dialogs; }

  std::vector<std::string> shown() {
    std::vector<std::string> out;
    for (const RecordedMessage& m : messages_copy()) out.push_back(m.line());
    return out;
  }
  std::vector<RecordedMessage> messages_copy() {
    std::lock_guard lock(mutex);
    return messages;
  }

  std::mutex mutex;
  std::vector<RecordedMessage> messages;
  std::vector<std::string> debug_lines;
  std::vector<std::string> titles;
  MessageResult answer = MessageResult::Ok;
  std::atomic<uint32_t> clock_ms{0};
  std::atomic<uint32_t> clock_step{0};
  std::atomic<int> invalidations{0};
  std::atomic<int> sanitizer_dialogs{0};
};

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "audio/sound_device.h"
#include "shell/host.h"

namespace {
HeadlessHost g_headless_host;
Host* g_host = &g_headless_host;
}  // namespace

Host& host() { return *g_host; }

void host_install(Host* h) { g_host = h ? h : &g_headless_host; }

MessageResult HeadlessHost::message_box(const char* text, const char* caption,
                                        MessageButtons buttons, MessageIcon, bool) {
  std::fprintf(stderr, "%s: %s\n", caption, text);
  return buttons == MessageButtons::YesNo ? MessageResult::No : MessageResult::Ok;
}

void HeadlessHost::debug_output(const char* text) {
  static const bool enabled = std::getenv("VANTRELL_DEBUG") != nullptr;
  if (enabled) std::fputs(text, stderr);
}

uint32_t HeadlessHost::milliseconds() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

SoundDevice* HeadlessHost::sound_device_open() { return new SilentSoundDevice; }

#include "machine/emulation.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "audio/sound.h"
#include "cart/cartridge.h"
#include "machine/frame.h"
#include "machine/machine.h"
#include "machine/profile.h"
#include "ppu/palettes.h"
#include "ppu/ppu.h"
#include "shell/fault_guard.h"
#include "shell/host.h"
#include "shell/host_cpu.h"
#include "shell/plugin_loader.h"
#include "shell/plugins.h"
#include "state/battery.h"

std::atomic<uint8_t> emu_stop{1};
std::atomic<uint16_t> emu_requests{0};
std::atomic<uint32_t> thread_priority{1};

namespace {
// Set by a stop, cleared by the next start: a stop that comes before the run has cleared
// emu_stop is not lost.
std::atomic<bool> g_stop_requested{false};
}  // namespace
EmulationThread* emu_thread = nullptr;

struct EmulationThread {
  std::thread thread;
  std::mutex mutex;
  std::condition_variable ended_cv;
  bool ended = false;
  std::atomic<pid_t> tid{0};
};

namespace {

constexpr int kNiceByPriority[3] = {2, 0, -2};

std::string g_window_title;
std::mutex g_title_mutex;

// A window-thread command waiting for the next frame boundary.
struct Request {
  std::function<void()> fn;
  bool started = false;
  bool done = false;
  bool cancelled = false;
};

std::mutex g_queue_mutex;
std::condition_variable g_queue_cv;
std::deque<std::shared_ptr<Request>> g_queue;
bool g_accepting = false;  // true while a run's loop serves the queue

// Runs the requests that are waiting; called by the loop between frames.
void serve_requests() {
  std::unique_lock lock(g_queue_mutex);
  while (!g_queue.empty()) {
    std::shared_ptr<Request> r = g_queue.front();
    g_queue.pop_front();
    if (r->cancelled) continue;
    r->started = true;
    lock.unlock();
    r->fn();
    lock.lock();
    r->done = true;
    g_queue_cv.notify_all();
  }
}

void set_accepting(bool on) {
  {
    std::lock_guard lock(g_queue_mutex);
    g_accepting = on;
  }
  if (!on) serve_requests();
}

void apply_priority(EmulationThread* t) {
  const uint32_t p = thread_priority.load();
  if (!t || p > 2 || t->tid == 0) return;
  // A refused raise (no privilege for a negative nice value) leaves the priority as it was.
  setpriority(PRIO_PROCESS, id_t(t->tid.load()), kNiceByPriority[p]);
}

VideoInitInfo g_video_info;
InputInitInfo g_input_info;

void start_plugins() {
  g_video_info = {
      host().plugin_window(), nullptr, frame_buffer, current_palette, has_mmx, has_fpu, {0, 0}};
  video_plugin.init(&g_video_info);
  g_input_info = {host().plugin_window(), nullptr, has_mmx, has_fpu, {0, 0}, ppu.oam};
  input_plugin.init(&g_input_info);
}

void reload_plugins() {
  g_video_info.palette = current_palette;
  video_plugin.destroy();
  plugin_load_video();
  video_plugin.init(&g_video_info);
  input_plugin.destroy();
  plugin_load_input();
  input_plugin.init(&g_input_info);
  host().message_box("Plugins Loaded Successfully!", "Vantrell", MessageButtons::Ok,
                     MessageIcon::None, true);
}

// The same tear-down ends a run normally and after a fault.
void tear_down() {
  battery_flush();
  sound_release();
  video_plugin.destroy();
  input_plugin.destroy();
  machine_power_off();
  host().invalidate_window();
}

// Counts loop passes and puts the figure into the window title every two seconds.
struct FpsCounter {
  uint32_t frames = 0;
  uint32_t last_update = 0;

  void pass() {
    ++frames;
    const uint32_t now = host().milliseconds();
    if (now - last_update <= kFpsIntervalMs) return;
    const uint32_t fps = frames * 1000 / (now - last_update);
    last_update = host().milliseconds();
    char title[300];
    {
      std::lock_guard lock(g_title_mutex);
      // The hardware profile names itself; the classic title stays as it always was.
      const char* profile = machine_profile == Profile::Hardware ? " [Hardware Accuracy]" : "";
      std::snprintf(title, sizeof title, "%s%s %d", g_window_title.c_str(), profile, int(fps));
    }
    frames = 0;
    host().set_window_title(title);
  }
};
FpsCounter g_fps;

}  // namespace

void emulation_set_title(const char* title) {
  std::lock_guard lock(g_title_mutex);
  g_window_title = title;
}

void machine_run() {
  machine_power_on();
  start_plugins();
  sound_init();
  emu_stop = 0;
  if (g_stop_requested) emu_stop = 1;
  set_accepting(true);
  do {
    const uint32_t t0 = host().milliseconds();
    serve_requests();
    const uint16_t requests = emu_requests.load();
    if (requests) {
      if (requests & REQUEST_FULLSCREEN) video_plugin.set_fullscreen();
      if (requests & REQUEST_RELOAD_PLUGINS) reload_plugins();
      if (!(requests & REQUEST_PAUSE)) {
        // Only the bits served here are cleared: a pause set meanwhile by the window stays.
        emu_requests.fetch_and(uint16_t(~requests));
        machine_run_frame();
      }
    } else {
      machine_run_frame();
    }
    video_plugin.render();
    g_fps.pass();
    battery_poll(host().milliseconds());
    // The frame floor: spin rather than sleep, so the pass ends as soon as 16 ms are up.
    while (host().milliseconds() - t0 < kFrameFloorMs) std::this_thread::yield();
  } while (emu_stop.load() == 0);
  set_accepting(false);
  tear_down();
}

void cartridge_load_and_run(char* path) {
  const LoadResult result = cartridge.cartridge_load(path);
  delete[] path;
  if (result != LoadResult::Ok && result != LoadResult::DirtyHeader) {
    const LoadMessage m = load_result_message(result);
    host().message_box(m.text, m.caption, MessageButtons::Ok, MessageIcon::Exclamation, true);
    cartridge.cartridge_unload();
    return;
  }
  if (result == LoadResult::DirtyHeader) host().header_sanitizer_dialog();
  if (!fault_guard_call([] { machine_run(); })) {
    set_accepting(false);
    host().message_box("An error has occured in emulation...Stopping Execution!", "Error",
                       MessageButtons::Ok, MessageIcon::None, true);
    emu_stop = 1;
    tear_down();
  }
}

EmulationThread* emulation_thread_start(const char* path) {
  if (!path || thread_priority.load() > 2) return nullptr;
  // Two emulation threads must never run the machine at once.
  if (!emulation_thread_release()) return nullptr;
  g_stop_requested = false;
  const size_t n = std::strlen(path);
  char* copy = new char[n + 1];
  std::memcpy(copy, path, n + 1);

  auto* t = new EmulationThread;
  emu_thread = t;
  t->thread = std::thread([t, copy] {
    t->tid = pid_t(syscall(SYS_gettid));
    apply_priority(t);
    cartridge_load_and_run(copy);
    std::lock_guard lock(t->mutex);
    t->ended = true;
    t->ended_cv.notify_all();
  });
  return t;
}

void emulation_request_stop() {
  g_stop_requested = true;
  emu_stop = 1;
}

bool emulation_stop_and_wait() {
  emulation_request_stop();
  if (!emu_thread) return true;
  std::unique_lock lock(emu_thread->mutex);
  return emu_thread->ended_cv.wait_for(lock, std::chrono::milliseconds(kStopWaitMs),
                                       [] { return emu_thread->ended; });
}

bool emulation_thread_release() {
  if (!emu_thread) return true;
  {
    std::lock_guard lock(emu_thread->mutex);
    if (!emu_thread->ended) return false;
  }
  emu_thread->thread.join();
  delete emu_thread;
  emu_thread = nullptr;
  return true;
}

void emulation_apply_priority() { apply_priority(emu_thread); }

bool emulation_running() {
  if (!emu_thread) return false;
  std::lock_guard lock(emu_thread->mutex);
  return !emu_thread->ended;
}

bool emulation_call(const std::function<void()>& fn) {
  auto r = std::make_shared<Request>();
  r->fn = fn;
  std::unique_lock lock(g_queue_mutex);
  if (!g_accepting) return false;
  g_queue.push_back(r);
  // A run that is showing a modal box cannot serve the queue; give up after a while rather than
  // wait on each other.
  if (g_queue_cv.wait_for(lock, std::chrono::milliseconds(kStopWaitMs), [&] { return r->done; })) {
    return true;
  }
  if (!r->started) {
    r->cancelled = true;
    return false;
  }
  g_queue_cv.wait(lock, [&] { return r->done; });
  return true;
}

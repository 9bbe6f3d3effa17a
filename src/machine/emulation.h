// The emulation thread: one thread per run of a cartridge. Its body loads the image, reports a
// failed load, and runs the machine frame after frame, paced to 16 ms, until the window thread
// asks it to stop. Window-thread commands that touch the machine are brought onto this thread
// between two frames through a small request queue.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

inline constexpr uint16_t REQUEST_PAUSE = 1;
inline constexpr uint16_t REQUEST_FULLSCREEN = 2;
inline constexpr uint16_t REQUEST_RELOAD_PLUGINS = 4;

inline constexpr uint32_t kFrameFloorMs = 16;
inline constexpr uint32_t kFpsIntervalMs = 2000;
inline constexpr uint32_t kStopWaitMs = 5000;

// 1 while no run should go on; the run sets it to 0 when its loop starts.
extern std::atomic<uint8_t> emu_stop;
extern std::atomic<uint16_t> emu_requests;
// 0 lowest, 1 normal, 2 highest (nice +2, 0, -2 of the emulation thread).
extern std::atomic<uint32_t> thread_priority;

struct EmulationThread;
// The running (or last) emulation thread, or null.
extern EmulationThread* emu_thread;

// The window title the frames-per-second figure is appended to.
void emulation_set_title(const char* title);

// Starts a thread running cartridge_load_and_run on a copy of path. Returns null (and starts
// nothing) when path is null, thread_priority is not 0-2, or the previous thread has not ended.
EmulationThread* emulation_thread_start(const char* path);
// emu_stop = 1, also for a run that has started but not yet begun its loop.
void emulation_request_stop();
// emulation_request_stop, then waits up to 5000 ms for the thread to end. True when no thread runs
// now.
bool emulation_stop_and_wait();
// Applies thread_priority to the running thread.
void emulation_apply_priority();
// True while an emulation thread has started and not yet ended.
bool emulation_running();
// Joins and frees an emulation thread that has ended (at program exit). True when none is left;
// false when the thread still runs, which is then left alone.
bool emulation_thread_release();

// The thread's body: load, report, run under the fault guard, tear down.
void cartridge_load_and_run(char* path);
// One run: power on, plug-ins, sound, the paced loop, shut down.
void machine_run();

// Runs fn on the emulation thread between two frames and waits for it. Returns false, without
// running fn, when no run serves requests (no game, or the run ended before fn could run).
bool emulation_call(const std::function<void()>& fn);

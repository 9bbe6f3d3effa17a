// Runs a cartridge without a window: loads it, powers the machine on, runs frames unpaced with a
// scripted joypad, and collects what the caller wants to keep. Serves the headless tool and the
// cartridge tests.
#pragma once

#include <csignal>
#include <cstdint>
#include <string>
#include <vector>

#include "cart/cartridge.h"

// From `frame` on, joypad `port` (1 or 2) reads `stream`, until a later event changes it.
struct InputEvent {
  uint32_t frame;
  int port;
  uint32_t stream;
};

// Parses a joypad script: lines "FRAME PORT STREAM" (decimal, 1 or 2, hexadecimal), '#' starts a
// comment. On a bad line returns false with a message naming the line.
bool parse_input_script(const std::string& text, std::vector<InputEvent>* events,
                        std::string* error);

struct HeadlessRun {
  uint32_t frames = 600;
  std::vector<InputEvent> input;  // sorted by frame
  bool keep_sound = false;
  bool all_lines = false;          // draw all 240 lines instead of the NTSC 225
  bool keep_nametables = false;    // the name-table viewer's picture of the last frame
  uint32_t nametable_palette = 0;  // its colours: one of the twelve palettes
  // When set (by a signal handler), the run ends before its next frame and keeps the last one.
  const volatile std::sig_atomic_t* stop = nullptr;
};

struct HeadlessResult {
  LoadResult load = LoadResult::OpenError;
  std::vector<uint8_t> memory;       // the flat memory after the last frame
  std::vector<uint8_t> frame;        // the frame buffer after the last frame
  std::vector<uint8_t> sound;        // every sample, when kept
  std::vector<uint32_t> nametables;  // 512 × 480 $00RRGGBB, when kept
  uint32_t cpu_result = 0;           // cpu_execute's result in the last slot
  double seconds = 0;                // wall time of the frames alone
};

// Loads and runs `path`. A load that fails leaves everything but `load` empty.
HeadlessResult headless_run(const std::string& path, const HeadlessRun& run);

// The frame buffer as 256 × 240 RGB through palette `palette_index`.
std::vector<uint8_t> frame_to_rgb(const std::vector<uint8_t>& frame, uint32_t palette_index);
// $00RRGGBB pixels as RGB bytes.
std::vector<uint8_t> pixels_to_rgb(const std::vector<uint32_t>& pixels);

#include "shell/headless/headless_run.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <sstream>

#include "audio/sound.h"
#include "machine/frame.h"
#include "machine/machine.h"
#include "ppu/nametable_view.h"
#include "ppu/palettes.h"
#include "shell/host.h"
#include "shell/plugins.h"
#include "state/battery.h"

namespace {

// The joypad script in force during a run; GETDATA reads the current streams.
uint32_t g_streams[2] = {0, 0};
std::vector<uint8_t>* g_sound = nullptr;

uint32_t scripted_get_data(uint32_t port) {
  return port == 1 || port == 2 ? g_streams[port - 1] : 0;
}

void record_sound(const uint8_t* samples, uint32_t count) {
  if (g_sound) g_sound->insert(g_sound->end(), samples, samples + count);
}

// One of the twelve palettes; an index out of range picks the first.
const PaletteEntry* palette_or_first(uint32_t index) {
  return ppu_palettes[index < uint32_t(kPaletteCount) ? index : 0];
}

}  // namespace

bool parse_input_script(const std::string& text, std::vector<InputEvent>* events,
                        std::string* error) {
  std::istringstream in(text);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    line = line.substr(0, line.find('#'));
    std::istringstream fields(line);
    std::string frame, port, stream, extra;
    if (!(fields >> frame)) continue;  // blank or comment
    char* end = nullptr;
    InputEvent e{};
    bool ok = bool(fields >> port >> stream) && !(fields >> extra);
    if (ok) {
      e.frame = uint32_t(std::strtoul(frame.c_str(), &end, 10));
      ok = *end == 0 && frame[0] != '-';
    }
    if (ok) {
      e.port = int(std::strtol(port.c_str(), &end, 10));
      ok = *end == 0 && (e.port == 1 || e.port == 2);
    }
    if (ok) {
      const unsigned long s = std::strtoul(stream.c_str(), &end, 16);
      ok = *end == 0 && stream[0] != '-' && s <= 0xFFFFFF;
      e.stream = uint32_t(s);
    }
    if (!ok) {
      *error = "line " + std::to_string(number) +
               ": expected FRAME PORT STREAM (decimal frame, port 1 or 2, hexadecimal 24-bit "
               "stream)";
      return false;
    }
    events->push_back(e);
  }
  std::stable_sort(events->begin(), events->end(),
                   [](const InputEvent& a, const InputEvent& b) { return a.frame < b.frame; });
  return true;
}

HeadlessResult headless_run(const std::string& path, const HeadlessRun& run) {
  HeadlessResult result;
  result.load = cartridge.cartridge_load(path.c_str());
  if (result.load != LoadResult::Ok && result.load != LoadResult::DirtyHeader) {
    cartridge.cartridge_unload();
    return result;
  }
  machine_power_on();
  g_streams[0] = g_streams[1] = 0;
  const InputPluginSlots saved_input = input_plugin;
  input_plugin.get_data = scripted_get_data;
  g_sound = run.keep_sound ? &result.sound : nullptr;
  const SoundSink saved_sink = sound_sink;
  sound_sink = record_sound;
  const uint8_t saved_ntsc = ntsc_display;
  ntsc_display = run.all_lines ? 0 : 1;
  sound_init();
  if (run.keep_sound) result.sound.reserve(size_t(run.frames) * kSoundBlockSize);

  size_t next = 0;
  const auto start = std::chrono::steady_clock::now();
  for (uint32_t f = 0; f < run.frames && !(run.stop && *run.stop); ++f) {
    for (; next < run.input.size() && run.input[next].frame <= f; ++next) {
      g_streams[run.input[next].port - 1] = run.input[next].stream;
    }
    machine_run_frame();
    battery_poll(host().milliseconds());
  }
  result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  battery_flush();
  sound_release();
  result.cpu_result = machine_cpu_result;
  cpu_get_context(shadow_context);
  result.memory.assign(shadow_context->memory, shadow_context->memory + kFlatMemorySize);
  result.frame.assign(frame_buffer, frame_buffer + kFrameBufferSize);
  if (run.keep_nametables) {
    uint32_t colours[kNametableViewColours];
    nametable_viewer_colours(palette_or_first(run.nametable_palette), colours);
    result.nametables.resize(kNametableViewWidth * kNametableViewHeight);
    // No emulation thread runs this machine, so the picture is drawn whatever emu_stop says.
    nametable_view_render(result.nametables.data(), colours);
  }
  ntsc_display = saved_ntsc;
  sound_sink = saved_sink;
  g_sound = nullptr;
  input_plugin = saved_input;
  machine_power_off();
  return result;
}

std::vector<uint8_t> frame_to_rgb(const std::vector<uint8_t>& frame, uint32_t palette_index) {
  const PaletteEntry* palette = palette_or_first(palette_index);
  std::vector<uint8_t> rgb;
  rgb.reserve(256 * kFrameRows * 3);
  for (uint32_t y = 0; y < kFrameRows; ++y) {
    for (uint32_t x = 0; x < 256; ++x) {
      const PaletteEntry& c = palette[frame[y * kFrameRowBytes + x]];
      rgb.insert(rgb.end(), {c.red, c.green, c.blue});
    }
  }
  return rgb;
}

std::vector<uint8_t> pixels_to_rgb(const std::vector<uint32_t>& pixels) {
  std::vector<uint8_t> rgb;
  rgb.reserve(pixels.size() * 3);
  for (const uint32_t p : pixels)
    rgb.insert(rgb.end(), {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)});
  return rgb;
}

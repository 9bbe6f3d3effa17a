// Vantrell as a libretro core: the front end hands over the cartridge image and calls retro_run
// once a frame; the core runs the same machine as the headless tool (power-on, one
// machine_run_frame per call, joypads read at vertical blank, the silent sound device) and hands
// back the picture through the chosen palette and the sound as 16-bit stereo.
#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "audio/apu.h"
#include "audio/apu_tables.h"
#include "audio/sound.h"
#include "cart/cartridge.h"
#include "cart/mapper.h"
#include "cheats/game_genie.h"
#include "cpu/cpu.h"
#include "libretro/libretro_api.h"
#include "libretro/machine_state.h"
#include "libretro/picture.h"
#include "machine/frame.h"
#include "machine/io_ports.h"
#include "machine/machine.h"
#include "machine/profile.h"
#include "ppu/palettes.h"
#include "ppu/ppu.h"
#include "shell/host.h"
#include "shell/host_cpu.h"
#include "shell/plugins.h"
#include "state/battery.h"

namespace {

retro_environment_t g_environment = nullptr;
retro_video_refresh_t g_video = nullptr;
retro_audio_sample_batch_t g_audio_batch = nullptr;
retro_input_poll_t g_input_poll = nullptr;
retro_input_state_t g_input_state = nullptr;
retro_log_printf_t g_log = nullptr;

bool environment(unsigned command, void* data) {
  return g_environment && g_environment(command, data);
}

// Message boxes and the debug channel go to the front end's log when it offers one.
class CoreHost : public HeadlessHost {
 public:
  MessageResult message_box(const char* text, const char* caption, MessageButtons buttons,
                            MessageIcon icon, bool owned) override {
    if (!g_log) return HeadlessHost::message_box(text, caption, buttons, icon, owned);
    g_log(RETRO_LOG_WARN, "%s: %s\n", caption, text);
    return buttons == MessageButtons::YesNo ? MessageResult::No : MessageResult::Ok;
  }
  void debug_output(const char* text) override {
    if (g_log) {
      g_log(RETRO_LOG_DEBUG, "%s", text);
    } else {
      HeadlessHost::debug_output(text);
    }
  }
};
CoreHost g_host;

// Core options, in the front end's "Description; first|second|..." form (the first is the
// default). The palettes carry the names the Options dialog gives them.
constexpr const char* kPaletteNames[kPaletteCount] = {
    "Palette A", "Palette B", "Palette C", "Palette D", "Palette E", "Palette F",
    "Palette G", "Palette H", "Palette I", "Palette J", "Palette K", "Palette L"};
constexpr retro_variable kVariables[] = {
    {"vantrell_palette",
     "Palette; Palette A|Palette B|Palette C|Palette D|Palette E|Palette F|Palette G|Palette "
     "H|Palette I|Palette J|Palette K|Palette L"},
    {"vantrell_ntsc_crop", "Crop to the NTSC picture (256 x 224); disabled|enabled"},
    {"vantrell_profile", "Machine profile (when a game is loaded); classic|hardware"},
    {nullptr, nullptr},
};

// The joypad stream's bits 0-7 by RetroPad button: A, B, Select, Start, Up, Down, Left, Right.
constexpr unsigned kButtons[8] = {RETRO_DEVICE_ID_JOYPAD_A,      RETRO_DEVICE_ID_JOYPAD_B,
                                  RETRO_DEVICE_ID_JOYPAD_SELECT, RETRO_DEVICE_ID_JOYPAD_START,
                                  RETRO_DEVICE_ID_JOYPAD_UP,     RETRO_DEVICE_ID_JOYPAD_DOWN,
                                  RETRO_DEVICE_ID_JOYPAD_LEFT,   RETRO_DEVICE_ID_JOYPAD_RIGHT};

constexpr double kFramesPerSecond = double(kApuSampleRate) / kSoundBlockSize;  // 60.0

bool g_loaded = false;
bool g_crop = false;
Picture g_picture;
std::vector<uint8_t> g_image;  // the image as handed over, to undo Game Genie patches
std::map<unsigned, std::string> g_cheats;
uint32_t g_streams[2] = {0, 0};
int16_t g_sound[kSoundBlockSize * 2];
size_t g_sound_frames = 0;

uint32_t core_get_data(uint32_t port) { return port == 1 || port == 2 ? g_streams[port - 1] : 0; }

// Unsigned 8-bit mono to signed 16-bit stereo: (s - 128) × 256 on both sides.
void collect_sound(const uint8_t* samples, uint32_t count) {
  for (uint32_t i = 0; i < count && g_sound_frames < kSoundBlockSize; ++i, ++g_sound_frames) {
    const auto s = int16_t((int32_t(samples[i]) - 128) * 256);
    g_sound[2 * g_sound_frames] = g_sound[2 * g_sound_frames + 1] = s;
  }
}

const char* variable(const char* key) {
  retro_variable v{key, nullptr};
  return environment(RETRO_ENVIRONMENT_GET_VARIABLE, &v) ? v.value : nullptr;
}

retro_game_geometry geometry() {
  const unsigned rows = g_crop ? kCroppedRows : kFrameRows;
  // The console's pixels are 8:7 on a television.
  return {256, rows, 256, kFrameRows, float(256.0 * 8.0 / 7.0 / rows)};
}

// Palette and crop take effect at once; the profile at the next load.
void read_options(bool loading) {
  if (const char* name = variable("vantrell_palette")) {
    for (uint32_t i = 0; i < uint32_t(kPaletteCount); ++i) {
      if (std::strcmp(name, kPaletteNames[i]) == 0) g_picture.set_palette(i);
    }
  }
  const char* crop = variable("vantrell_ntsc_crop");
  const bool was_cropped = g_crop;
  g_crop = crop && std::strcmp(crop, "enabled") == 0;
  if (!loading && g_crop != was_cropped) {
    const retro_game_geometry g = geometry();
    environment(RETRO_ENVIRONMENT_SET_GEOMETRY, const_cast<retro_game_geometry*>(&g));
  }
  Profile profile = Profile::Classic;
  const char* name = variable("vantrell_profile");
  if (loading && name && profile_from_name(name, &profile)) profile_choice.store(profile);
  if (loading && !name) profile_choice.store(Profile::Classic);
}

// What a fresh process holds before its first game, so that every load starts the same way:
// the PPU, the ports and the boards' registers otherwise keep their values from the last game.
void clear_leftovers() {
  ppu = {};
  for (JoypadPort& port : joypad) port = {};
  mapper_board_state([](void* data, uint32_t size, void*) { std::memset(data, 0, size); }, nullptr);
  std::memset(mapper_state.prg_bank, 0, sizeof mapper_state.prg_bank);
  mapper_state.sram_enabled = 1;
  apu_noise_shift_register = 0x11;
  g_streams[0] = g_streams[1] = 0;
}

bool is_code_letter(char c) {
  return std::strchr(kGgLetters, std::toupper(static_cast<unsigned char>(c))) != nullptr;
}

// Puts the program data back as loaded and installs the enabled codes: each a Game Genie code of
// six or eight letters, several joined by '+'. They patch the banks mapped now and, as in the
// window, every bank mapped later.
void install_cheats() {
  const size_t prg_offset = size_t(cartridge.prg_rom - cartridge.image);
  const size_t prg_size = size_t(cartridge.prg_rom_size) * kPrgUnit;
  std::memcpy(cartridge.prg_rom, g_image.data() + prg_offset, prg_size);
  int32_t count = 0;
  for (const auto& [index, text] : g_cheats) {
    size_t start = 0;
    while (start <= text.size() && count < kGgMaxCodes) {
      const size_t end = std::min(text.find('+', start), text.size());
      const std::string code = text.substr(start, end - start);
      if ((code.size() == 6 || code.size() == 8) &&
          std::all_of(code.begin(), code.end(), is_code_letter)) {
        gg_set_code_text(count++, code.c_str());
      } else if (g_log) {
        g_log(RETRO_LOG_WARN, "Cheat %u: \"%s\" is not a Game Genie code\n", index, code.c_str());
      }
      start = end + 1;
    }
  }
  gg_set_count(count);
  gg_set_enabled(true);
  cpu_get_context(shadow_context);
  gg_apply_all();
}

}  // namespace

RETRO_API void retro_set_environment(retro_environment_t cb) {
  g_environment = cb;
  environment(RETRO_ENVIRONMENT_SET_VARIABLES, const_cast<retro_variable*>(kVariables));
}
RETRO_API void retro_set_video_refresh(retro_video_refresh_t cb) { g_video = cb; }
RETRO_API void retro_set_audio_sample(retro_audio_sample_t) {}
RETRO_API void retro_set_audio_sample_batch(retro_audio_sample_batch_t cb) { g_audio_batch = cb; }
RETRO_API void retro_set_input_poll(retro_input_poll_t cb) { g_input_poll = cb; }
RETRO_API void retro_set_input_state(retro_input_state_t cb) { g_input_state = cb; }

RETRO_API void retro_init(void) {
  retro_log_callback log{};
  g_log = environment(RETRO_ENVIRONMENT_GET_LOG_INTERFACE, &log) ? log.log : nullptr;
  host_install(&g_host);
  host_cpu_choose_copy();
  battery_config.enabled = false;  // the front end keeps the battery RAM
}

RETRO_API void retro_deinit(void) {
  retro_unload_game();
  host_install(nullptr);
  g_log = nullptr;
}

RETRO_API unsigned retro_api_version(void) { return RETRO_API_VERSION; }

RETRO_API void retro_get_system_info(retro_system_info* info) {
  *info = {};
  info->library_name = "Vantrell";
  info->library_version = VANTRELL_VERSION;
  info->valid_extensions = "nes";
  info->need_fullpath = false;
  info->block_extract = false;
}

RETRO_API void retro_get_system_av_info(retro_system_av_info* info) {
  info->geometry = geometry();
  info->timing = {kFramesPerSecond, double(kApuSampleRate)};
}

RETRO_API void retro_set_controller_port_device(unsigned, unsigned) {}

RETRO_API bool retro_load_game(const retro_game_info* game) {
  retro_unload_game();
  if (!game || !game->data) return false;
  retro_pixel_format format = RETRO_PIXEL_FORMAT_XRGB8888;
  if (!environment(RETRO_ENVIRONMENT_SET_PIXEL_FORMAT, &format)) {
    if (g_log) g_log(RETRO_LOG_ERROR, "The front end does not take XRGB8888 pictures\n");
    return false;
  }
  read_options(true);
  clear_leftovers();
  const auto* data = static_cast<const uint8_t*>(game->data);
  const LoadResult result = cartridge.cartridge_load_memory(data, game->size, game->path);
  if (result != LoadResult::Ok && result != LoadResult::DirtyHeader) {
    const LoadMessage m = load_result_message(result);
    if (g_log && m.text) g_log(RETRO_LOG_ERROR, "%s: %s\n", m.caption, m.text);
    cartridge.cartridge_unload();
    return false;
  }
  g_image.assign(data, data + game->size);
  g_cheats.clear();
  gg_set_count(0);
  machine_power_on();
  input_plugin.get_data = core_get_data;
  sound_sink = collect_sound;
  ntsc_display = 1;  // as the headless tool draws by default
  sound_init();
  g_picture.choose_way();
  g_picture.invalidate();
  g_loaded = true;
  return true;
}

RETRO_API bool retro_load_game_special(unsigned, const retro_game_info*, size_t) { return false; }

RETRO_API void retro_unload_game(void) {
  if (!g_loaded) return;
  sound_release();
  sound_sink = nullptr;
  machine_power_off();
  plugin_null_input();
  g_image.clear();
  g_loaded = false;
}

RETRO_API unsigned retro_get_region(void) { return RETRO_REGION_NTSC; }

// The console's reset button: the CPU starts again from its reset vector; memory is kept.
RETRO_API void retro_reset(void) {
  if (!g_loaded) return;
  machine_reset();
  cpu_get_context(shadow_context);
}

RETRO_API void retro_run(void) {
  if (!g_loaded) return;
  bool updated = false;
  if (environment(RETRO_ENVIRONMENT_GET_VARIABLE_UPDATE, &updated) && updated) read_options(false);
  if (g_input_poll) g_input_poll();
  for (unsigned port = 0; port < 2; ++port) {
    uint32_t stream = 0;
    for (uint32_t bit = 0; bit < 8 && g_input_state; ++bit) {
      if (g_input_state(port, RETRO_DEVICE_JOYPAD, 0, kButtons[bit])) stream |= 1u << bit;
    }
    g_streams[port] = stream;
  }
  g_sound_frames = 0;
  machine_run_frame();

  g_picture.update(frame_buffer);
  if (g_video) {
    const uint32_t first = g_crop ? kCropTop : 0;
    g_video(g_picture.row(first), 256, g_crop ? kCroppedRows : kFrameRows, 256 * 4);
  }
  for (size_t done = 0; g_audio_batch && done < g_sound_frames;) {
    const size_t taken = g_audio_batch(g_sound + 2 * done, g_sound_frames - done);
    if (taken == 0) break;
    done += taken;
  }
}

RETRO_API size_t retro_serialize_size(void) { return machine_state_size(); }

RETRO_API bool retro_serialize(void* data, size_t size) {
  if (!g_loaded || !data || size < machine_state_size()) return false;
  machine_state_save(static_cast<uint8_t*>(data));
  return true;
}

RETRO_API bool retro_unserialize(const void* data, size_t size) {
  return g_loaded && data && machine_state_load(static_cast<const uint8_t*>(data), size);
}

RETRO_API void retro_cheat_reset(void) {
  g_cheats.clear();
  if (g_loaded) install_cheats();
}

RETRO_API void retro_cheat_set(unsigned index, bool enabled, const char* code) {
  if (enabled && code) {
    g_cheats[index] = code;
  } else {
    g_cheats.erase(index);
  }
  if (g_loaded) install_cheats();
}

RETRO_API void* retro_get_memory_data(unsigned id) {
  if (!g_loaded) return nullptr;
  if (id == RETRO_MEMORY_SAVE_RAM && cartridge.battery) {
    return shadow_context->memory + kBatteryRamAddress;
  }
  return id == RETRO_MEMORY_SYSTEM_RAM ? shadow_context->memory : nullptr;
}

RETRO_API size_t retro_get_memory_size(unsigned id) {
  if (!retro_get_memory_data(id)) return 0;
  return id == RETRO_MEMORY_SAVE_RAM ? kBatteryRamSize : 0x800;
}

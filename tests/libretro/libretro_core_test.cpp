// The libretro core, loaded with dlopen as a front end loads it: its pictures and sound against
// the headless tool's PNG and WAV files, save states, the battery RAM, cheats and bad images.
// `vantrell_libretro_tests --bench ROM [FRAMES]` runs the core flat out instead and prints its
// frames per second, to set beside `vantrell-cli bench`.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "libretro/libretro_api.h"
#include "shell/headless/image_files.h"
#include "support/temp_files.h"

namespace {

std::string rom_path(const std::string& name) {
  return std::string(VANTRELL_ROM_DIR) + "/" + name + ".nes";
}

// What the front end side of the callbacks keeps.
struct FrontEnd {
  std::map<std::string, std::string> options;
  std::vector<uint32_t> pixels;  // the last picture, width × height XRGB8888
  unsigned width = 0, height = 0;
  std::vector<int16_t> sound;  // interleaved stereo
  uint32_t streams[2] = {0, 0};
  bool keep_pictures = true;  // off: the bench hands the frames to no one, as the tool does
};
FrontEnd fe;

bool environment(unsigned command, void* data) {
  switch (command) {
    case RETRO_ENVIRONMENT_SET_PIXEL_FORMAT:
      return *static_cast<retro_pixel_format*>(data) == RETRO_PIXEL_FORMAT_XRGB8888;
    case RETRO_ENVIRONMENT_GET_VARIABLE: {
      auto* v = static_cast<retro_variable*>(data);
      const auto it = fe.options.find(v->key);
      v->value = it == fe.options.end() ? nullptr : it->second.c_str();
      return v->value != nullptr;
    }
    case RETRO_ENVIRONMENT_SET_VARIABLES: return true;
    default: return false;
  }
}

void video(const void* data, unsigned width, unsigned height, size_t pitch) {
  fe.width = width, fe.height = height;
  if (!fe.keep_pictures) return;
  fe.pixels.resize(size_t(width) * height);
  for (unsigned y = 0; y < height; ++y)
    std::memcpy(&fe.pixels[y * width], static_cast<const uint8_t*>(data) + y * pitch, width * 4);
}

size_t audio(const int16_t* data, size_t frames) {
  fe.sound.insert(fe.sound.end(), data, data + 2 * frames);
  return frames;
}

void poll() {}

// RetroPad ids by stream bit: A, B, Select, Start, Up, Down, Left, Right.
constexpr unsigned kIds[8] = {8, 0, 2, 3, 4, 5, 6, 7};
int16_t input(unsigned port, unsigned device, unsigned, unsigned id) {
  if (port > 1 || device != RETRO_DEVICE_JOYPAD) return 0;
  for (int bit = 0; bit < 8; ++bit) {
    if (kIds[bit] == id) return int16_t(fe.streams[port] >> bit & 1);
  }
  return 0;
}

// The core's entry points, looked up by name.
// clang-format off
#define RETRO_FNS(X)                                                                      \
  X(retro_set_environment) X(retro_set_video_refresh) X(retro_set_audio_sample_batch)    \
  X(retro_set_input_poll) X(retro_set_input_state) X(retro_init) X(retro_deinit)         \
  X(retro_get_system_av_info) X(retro_load_game) X(retro_run) X(retro_reset)             \
  X(retro_serialize_size) X(retro_serialize) X(retro_unserialize) X(retro_cheat_set)     \
  X(retro_cheat_reset) X(retro_get_memory_data) X(retro_get_memory_size)
// clang-format on
#define RETRO_LOOKUP(name) \
  decltype(::name)* name = reinterpret_cast<decltype(::name)*>(dlsym(so, #name));
#define RETRO_MISSING(name) || !name
struct Core {
  void* so = dlopen(VANTRELL_LIBRETRO_CORE, RTLD_NOW | RTLD_LOCAL);
  RETRO_FNS(RETRO_LOOKUP)

  Core() {
    if (!so RETRO_FNS(RETRO_MISSING)) std::abort();  // every entry point must be there
    retro_set_environment(environment);
    retro_set_video_refresh(video);
    retro_set_audio_sample_batch(audio);
    retro_set_input_poll(poll);
    retro_set_input_state(input);
    retro_init();
  }
  ~Core() {
    retro_deinit();
    dlclose(so);
  }

  bool load(const std::vector<uint8_t>& image) {
    std::map<std::string, std::string> options = std::move(fe.options);
    fe = FrontEnd();
    fe.options = std::move(options);
    const retro_game_info game{nullptr, image.data(), image.size(), nullptr};
    return retro_load_game(&game);
  }
  bool load(const std::string& rom) { return load(read_file(rom_path(rom))); }
  uint8_t* memory(unsigned id) { return static_cast<uint8_t*>(retro_get_memory_data(id)); }
};

// Frames first to last of a joypad script (frame, port 1 or 2, stream), as the tool reads it.
struct Event {
  uint32_t frame;
  int port;
  uint32_t stream;
};
void run(Core& core, uint32_t first, uint32_t last, const std::vector<Event>& script) {
  for (uint32_t f = first; f < last; ++f) {
    for (const Event& e : script) {
      if (e.frame == f) fe.streams[e.port - 1] = e.stream;
    }
    core.retro_run();
  }
}

std::vector<uint8_t> rgb(const std::vector<uint32_t>& pixels) {
  std::vector<uint8_t> out;
  for (const uint32_t p : pixels)
    out.insert(out.end(), {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)});
  return out;
}

std::vector<uint8_t> mono_u8(const std::vector<int16_t>& stereo) {
  std::vector<uint8_t> out;
  for (size_t i = 0; i < stereo.size(); i += 2) {
    EXPECT_EQ(stereo[i], stereo[i + 1]);
    out.push_back(uint8_t((stereo[i] >> 8) + 128));
  }
  return out;
}

TEST(LibretroCore, GivesTheToolsPictureAndSound) {
  struct Case {
    const char* rom;
    uint32_t frames;
    int palette;  // 0-11: Palette A-L
    bool hardware;
    const char* way;  // the picture conversion: the best the processor has, or a slower one
    std::vector<Event> script;
  };
  const Case cases[] = {
      {"demo", 150, 0, false, "best", {{20, 1, 0x80}, {90, 1, 0x41}, {120, 1, 0}}},
      {"demo", 90, 4, true, "avx2", {{10, 1, 0x40}}},
      {"joypad", 40, 11, false, "plain", {{5, 1, 0x09}, {12, 2, 0xA6}}},
      {"mmc3", 60, 0, false, "avx2", {}},
      {"mmc1", 60, 0, false, "plain", {}},
      {"apu_status", 60, 7, false, "best", {}},
  };
  Core core;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.rom) + (c.hardware ? " hardware " : " classic ") + c.way);
    TempDir dir;
    std::string script;
    for (const Event& e : c.script) {
      char line[64];
      std::snprintf(line, sizeof line, "%u %d %x\n", e.frame, e.port, e.stream);
      script += line;
    }
    write_file(dir / "input.txt", std::vector<uint8_t>(script.begin(), script.end()));
    const std::string command = std::string("\"") + VANTRELL_CLI + "\" run \"" + rom_path(c.rom) +
                                "\" --no-battery --frames " + std::to_string(c.frames) +
                                " --palette " + std::to_string(c.palette) + " --input \"" +
                                dir / "input.txt" + "\" --png \"" + dir / "cli.png" +
                                "\" --wav \"" + dir / "cli.wav" + "\"" +
                                (c.hardware ? " --hardware" : "");
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    fe.options = {{"vantrell_palette", std::string("Palette ") + char('A' + c.palette)},
                  {"vantrell_profile", c.hardware ? "hardware" : "classic"}};
    setenv("VANTRELL_PICTURE", c.way, 1);
    ASSERT_TRUE(core.load(c.rom));
    unsetenv("VANTRELL_PICTURE");
    run(core, 0, c.frames, c.script);
    ASSERT_EQ(fe.width * fe.height, 256u * 240u);
    ASSERT_TRUE(write_png(dir / "core.png", rgb(fe.pixels), 256, 240));
    ASSERT_TRUE(write_wav(dir / "core.wav", mono_u8(fe.sound), 44100));
    EXPECT_EQ(read_file(dir / "core.png"), read_file(dir / "cli.png"));
    EXPECT_EQ(read_file(dir / "core.wav"), read_file(dir / "cli.wav"));
  }
}

TEST(LibretroCore, NtscCropShowsLines8To231) {
  Core core;
  fe.options = {{"vantrell_ntsc_crop", "disabled"}};
  ASSERT_TRUE(core.load("scroll"));
  run(core, 0, 30, {});
  const std::vector<uint32_t> full = fe.pixels;
  fe.options = {{"vantrell_ntsc_crop", "enabled"}};
  ASSERT_TRUE(core.load("scroll"));
  retro_system_av_info av{};
  core.retro_get_system_av_info(&av);
  EXPECT_EQ(av.geometry.base_height, 224u);
  run(core, 0, 30, {});
  ASSERT_EQ(fe.height, 224u);
  EXPECT_TRUE(std::equal(fe.pixels.begin(), fe.pixels.end(), full.begin() + 8 * 256));
}

// A state taken in one run and restored after a fresh load goes on with the same frames and sound.
TEST(LibretroCore, RestoredStateRunsOnAsTheOriginal) {
  const std::vector<Event> script = {{0, 1, 0x80}, {100, 1, 0x01}, {110, 1, 0x40}, {140, 1, 0x81}};
  Core core;
  for (const auto& [rom, profile] :
       std::vector<std::pair<std::string, std::string>>{{"demo", "classic"},
                                                        {"demo", "hardware"},
                                                        {"mmc3", "classic"},
                                                        {"mmc3", "hardware"},
                                                        {"mmc1", "classic"}}) {
    SCOPED_TRACE(rom + " " + profile);
    fe.options = {{"vantrell_profile", profile}};
    ASSERT_TRUE(core.load(rom));
    run(core, 0, 95, script);
    std::vector<uint8_t> state(core.retro_serialize_size());
    ASSERT_TRUE(core.retro_serialize(state.data(), state.size()));
    fe.sound.clear();
    run(core, 95, 160, script);
    const FrontEnd first = fe;

    ASSERT_TRUE(core.load(rom));
    std::vector<uint8_t> broken = state;
    broken[0] ^= 1;
    EXPECT_FALSE(core.retro_unserialize(broken.data(), broken.size()));
    EXPECT_FALSE(core.retro_unserialize(state.data(), state.size() - 1));
    ASSERT_TRUE(core.retro_unserialize(state.data(), state.size()));
    std::vector<uint8_t> again(state.size());
    ASSERT_TRUE(core.retro_serialize(again.data(), again.size()));
    EXPECT_TRUE(again == state);  // every part saved is restored
    fe.streams[0] = 0x80;
    run(core, 95, 160, script);
    EXPECT_EQ(fe.pixels, first.pixels);
    EXPECT_EQ(fe.sound, first.sound);
  }
}

TEST(LibretroCore, BatteryRamIsTheFrontEndsToKeep) {
  Core core;
  fe.options = {};
  ASSERT_TRUE(core.load("demo"));
  EXPECT_EQ(core.memory(RETRO_MEMORY_SAVE_RAM), nullptr);
  EXPECT_EQ(core.retro_get_memory_size(RETRO_MEMORY_SAVE_RAM), 0u);
  EXPECT_EQ(core.retro_get_memory_size(RETRO_MEMORY_SYSTEM_RAM), 0x800u);

  ASSERT_TRUE(core.load("battery"));
  ASSERT_EQ(core.retro_get_memory_size(RETRO_MEMORY_SAVE_RAM), 0x2000u);
  // A save from four earlier power-ons, as the front end puts it back before the first frame.
  uint8_t* sram = core.memory(RETRO_MEMORY_SAVE_RAM);
  std::memcpy(sram, "VBAT\x04", 5);
  sram[0x1FFF] = 4;
  run(core, 0, 10, {});
  const uint8_t* ram = core.memory(RETRO_MEMORY_SYSTEM_RAM);
  EXPECT_EQ(ram[0x300], 0x01);
  EXPECT_EQ(ram[0x301], 5);
  EXPECT_EQ(sram[4], 5);
}

TEST(LibretroCore, GameGenieCodesPatchTheProgramUntilReset) {
  Core core;
  fe.options = {};
  ASSERT_TRUE(core.load("cheat_target"));
  // PAAAPE: $8001, the operand of the LDA #3 that sets the lives, becomes 9.
  core.retro_cheat_set(0, true, "paaape+NOTACODE");
  run(core, 0, 5, {});
  EXPECT_EQ(core.memory(RETRO_MEMORY_SYSTEM_RAM)[0x310], 9);
  core.retro_cheat_reset();
  core.retro_reset();
  run(core, 5, 10, {});
  EXPECT_EQ(core.memory(RETRO_MEMORY_SYSTEM_RAM)[0x310], 3);
}

TEST(LibretroCore, RefusesBadImagesAndKeepsWorking) {
  std::vector<uint8_t> truncated = read_file(rom_path("demo"));
  truncated.resize(truncated.size() / 2);
  const std::vector<std::vector<uint8_t>> bad = {
      {},
      {'N', 'E', 'S'},
      std::vector<uint8_t>(4096, 0x4E),
      truncated,
      {'N', 'E', 'S', 0x1A, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}};
  Core core;
  fe.options = {};
  for (const auto& image : bad) {
    EXPECT_FALSE(core.load(image));
    core.retro_run();
    std::vector<uint8_t> state(core.retro_serialize_size());
    EXPECT_FALSE(core.retro_serialize(state.data(), state.size()));
    EXPECT_EQ(core.memory(RETRO_MEMORY_SYSTEM_RAM), nullptr);
    EXPECT_EQ(fe.width, 0u);
  }
  ASSERT_TRUE(core.load("demo"));
  run(core, 0, 2, {});
  EXPECT_EQ(fe.width, 256u);
}

// Frames per second of the core through this host, as `vantrell-cli bench` counts them.
int bench(const char* rom, uint32_t frames) {
  Core core;
  if (!core.load(read_file(rom))) return 1;
  fe.keep_pictures = false;
  const auto start = std::chrono::steady_clock::now();
  for (uint32_t f = 0; f < frames; ++f) {
    fe.sound.clear();
    core.retro_run();
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("frames=%u seconds=%.3f fps=%.1f\n", frames, seconds, frames / seconds);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "--bench") == 0) {
    return bench(argv[2], argc >= 4 ? uint32_t(std::strtoul(argv[3], nullptr, 10)) : 3000);
  }
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

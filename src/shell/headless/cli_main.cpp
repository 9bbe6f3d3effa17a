// vantrell-cli: the emulator without a window. Runs a cartridge unpaced and writes what a user or
// a script wants to see: the last frame as a PNG, the sound as a WAV, the memory, a CPU trace, the
// ROM's header, frames per second.
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "audio/apu.h"
#include "cart/cartridge.h"
#include "cpu/cpu.h"
#include "machine/frame.h"
#include "machine/machine.h"
#include "ppu/nametable_view.h"
#include "shell/headless/cli_common.h"
#include "shell/headless/cli_disasm.h"
#include "shell/headless/cli_ips.h"
#include "shell/headless/headless_run.h"
#include "shell/headless/image_files.h"
#include "shell/host_cpu.h"
#include "state/battery.h"

namespace {

const char* const kHelp =
    R"(vantrell-cli - the Vantrell NES emulator without a window

Usage:
  vantrell-cli run ROM [--frames N] [--input FILE] [--png FILE] [--wav FILE] [--ram FILE]
                       [--nametables FILE] [--palette 0-11] [--all-lines]
                       [--save-dir DIR | --no-battery] [--hardware]
      Runs N frames (default 600) as fast as possible and writes what is asked for:
        --png FILE    the last frame, 256 x 240, through the chosen palette (default 0)
        --wav FILE    the whole sound, 44,100 Hz unsigned 8-bit mono
        --ram FILE    the CPU's 64 KB flat memory after the last frame, raw
        --nametables FILE
                      the four name tables after the last frame, 512 x 480, as the Name Table
                      Viewer shows them, through the chosen palette
        --input FILE  a joypad script: lines "FRAME PORT STREAM" (decimal frame, port 1 or 2,
                      hexadecimal 24-bit stream); from that frame on, that joypad reads that
                      stream until a later line changes it; '#' starts a comment. Stream bits
                      0-7 are A, B, Select, Start, Up, Down, Left, Right.
        --all-lines   draw all 240 lines (by default lines 0-7 and 233-239 are blank, as on an
                      NTSC television)
        --save-dir DIR
                      the folder of battery saves (default $XDG_DATA_HOME/Vantrell/saves):
                      a cartridge with battery-backed RAM reads NAME.sav from it at power-on
                      and writes it back while it runs and at the end
        --no-battery  neither read nor write battery saves
        --hardware    run the hardware profile (the console's own timing, dot by dot)
                      instead of the classic one; bench and trace take it too
      SIGTERM, SIGINT or SIGHUP end the run after the current frame: the files asked for are
      written from the last whole frame, the battery save too, and the exit status is 128 plus
      the signal's number.
  vantrell-cli bench ROM [--frames N] [--hardware]
      Runs N frames (default 3000) with no output and prints "frames=N seconds=S fps=F".
  vantrell-cli trace ROM [--steps N] [--pc HEX] [--hardware]
      Powers on (then sets PC when --pc is given) and prints, before each of N instructions
      (default 100), one line "PPPP  A:AA X:XX Y:YY P:PP SP:SS CYC:C" (CYC: total cycles).
  vantrell-cli info ROM
      Prints the load result and the header fields, one "name: value" per line.
)";

// After the commands that live in their own files.
const char* const kHelpEnd =
    R"(  vantrell-cli --help
      This text.

Exit status: 0 success, 1 the ROM could not be loaded, a file could not be written or a
patch was refused, 2 wrong usage.
)";

struct Args {
  std::string command;
  std::string rom;
  std::map<std::string, std::string> options;  // "--frames" -> "60"; flags map to ""
};

// Options that take a value, and flags, per command.
bool takes_value(const std::string& command, const std::string& option) {
  static const std::map<std::string, std::vector<std::string>> kValued = {
      {"run",
       {"--frames", "--input", "--png", "--wav", "--ram", "--nametables", "--palette",
        "--save-dir"}},
      {"bench", {"--frames"}},
      {"trace", {"--steps", "--pc"}},
      {"info", {}},
  };
  const auto& list = kValued.at(command);
  return std::find(list.begin(), list.end(), option) != list.end();
}

bool is_flag(const std::string& command, const std::string& option) {
  if (option == "--hardware") return command != "info";
  return command == "run" && (option == "--all-lines" || option == "--no-battery");
}

bool parse_args(int argc, char** argv, Args* args, std::string* error) {
  args->command = argv[1];
  if (args->command != "run" && args->command != "bench" && args->command != "trace" &&
      args->command != "info") {
    *error = "unknown command '" + args->command + "'";
    return false;
  }
  for (int i = 2; i < argc; ++i) {
    const std::string a = argv[i];
    if (a.rfind("--", 0) == 0) {
      if (is_flag(args->command, a)) {
        args->options[a] = "";
      } else if (takes_value(args->command, a)) {
        if (i + 1 >= argc) {
          *error = "option " + a + " needs a value";
          return false;
        }
        args->options[a] = argv[++i];
      } else {
        *error = "unknown option '" + a + "' for " + args->command;
        return false;
      }
    } else if (args->rom.empty()) {
      args->rom = a;
    } else {
      *error = "unexpected argument '" + a + "'";
      return false;
    }
  }
  if (args->rom.empty()) {
    *error = args->command + " needs a ROM file";
    return false;
  }
  return true;
}

bool number_option(const Args& args, const char* name, int base, uint32_t max, uint32_t* value,
                   std::string* error) {
  const auto it = args.options.find(name);
  if (it == args.options.end()) return true;
  if (!cli_parse_number(it->second, base, 0, max, value)) {
    *error = std::string("bad value '") + it->second + "' for " + name;
    return false;
  }
  return true;
}

std::string option(const Args& args, const char* name) {
  const auto it = args.options.find(name);
  return it == args.options.end() ? std::string() : it->second;
}

bool write_raw(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream f(path, std::ios::binary);
  f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return bool(f);
}

int write_failure(const std::string& path) {
  std::fprintf(stderr, "File I/O Error: Could not write %s\n", path.c_str());
  return kExitFailure;
}

volatile std::sig_atomic_t g_stop_signal = 0;

void on_stop_signal(int sig) { g_stop_signal = sig; }

// A signal ends a run at the next frame boundary instead of killing the process, so that what
// the run was asked to write (and the battery save) is still written.
void catch_stop_signals() {
  struct sigaction sa {};
  sa.sa_handler = on_stop_signal;
  sigemptyset(&sa.sa_mask);
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &sa, nullptr);
}

int command_run(const Args& args) {
  HeadlessRun run;
  uint32_t palette = 0;
  std::string error;
  if (!number_option(args, "--frames", 10, 100000000, &run.frames, &error) ||
      !number_option(args, "--palette", 10, 11, &palette, &error)) {
    return cli_usage_error(error);
  }
  run.all_lines = args.options.count("--all-lines") != 0;
  const std::string input_path = option(args, "--input");
  if (!input_path.empty()) {
    std::ifstream f(input_path);
    if (!f) return cli_usage_error("cannot read input script " + input_path);
    std::stringstream text;
    text << f.rdbuf();
    if (!parse_input_script(text.str(), &run.input, &error)) {
      return cli_usage_error(input_path + ": " + error);
    }
  }
  const std::string png = option(args, "--png"), wav = option(args, "--wav"),
                    ram = option(args, "--ram"), nametables = option(args, "--nametables");
  run.keep_sound = !wav.empty();
  run.keep_nametables = !nametables.empty();
  run.nametable_palette = palette;
  if (args.options.count("--no-battery") && args.options.count("--save-dir")) {
    return cli_usage_error("--save-dir and --no-battery exclude each other");
  }
  battery_config.enabled = !args.options.count("--no-battery");
  battery_config.directory = option(args, "--save-dir");
  run.stop = &g_stop_signal;
  catch_stop_signals();

  const HeadlessResult r = headless_run(args.rom, run);
  if (!cli_loaded(r.load)) return cli_load_failure(r.load);
  if (r.cpu_result != kCpuBudgetSpent) {
    std::fprintf(stderr, "note: the CPU stopped on an unsupported opcode at $%04X\n", r.cpu_result);
  }
  if (!png.empty() && !write_png(png, frame_to_rgb(r.frame, palette), 256, kFrameRows)) {
    return write_failure(png);
  }
  if (!wav.empty() && !write_wav(wav, r.sound, kApuSampleRate)) return write_failure(wav);
  if (!ram.empty() && !write_raw(ram, r.memory)) return write_failure(ram);
  if (!nametables.empty() && !write_png(nametables, pixels_to_rgb(r.nametables),
                                        kNametableViewWidth, kNametableViewHeight)) {
    return write_failure(nametables);
  }
  return g_stop_signal ? 128 + g_stop_signal : kExitOk;
}

int command_bench(const Args& args) {
  HeadlessRun run;
  run.frames = 3000;
  std::string error;
  if (!number_option(args, "--frames", 10, 100000000, &run.frames, &error)) {
    return cli_usage_error(error);
  }
  const HeadlessResult r = headless_run(args.rom, run);
  if (!cli_loaded(r.load)) return cli_load_failure(r.load);
  const double fps = r.seconds > 0 ? run.frames / r.seconds : 0;
  std::printf("frames=%u seconds=%.3f fps=%.1f\n", run.frames, r.seconds, fps);
  return kExitOk;
}

int command_trace(const Args& args) {
  uint32_t steps = 100, pc = 0;
  std::string error;
  if (!number_option(args, "--steps", 10, 100000000, &steps, &error) ||
      !number_option(args, "--pc", 16, 0xFFFF, &pc, &error)) {
    return cli_usage_error(error);
  }
  const LoadResult load = cartridge.cartridge_load(args.rom.c_str());
  if (!cli_loaded(load)) {
    cartridge.cartridge_unload();
    return cli_load_failure(load);
  }
  machine_power_on();
  CpuContext ctx;
  cpu_get_context(&ctx);
  if (args.options.count("--pc")) {
    ctx.pc = uint16_t(pc);
    cpu_set_context(&ctx);
  }
  uint64_t total = 0;
  for (uint32_t i = 0; i < steps; ++i) {
    cpu_get_context(&ctx);
    std::printf("%04X  A:%02X X:%02X Y:%02X P:%02X SP:%02X CYC:%llu\n", ctx.pc, ctx.a, ctx.x, ctx.y,
                ctx.p, ctx.s, static_cast<unsigned long long>(total));
    const uint32_t cycles = machine_step_instruction();
    if (cycles == 0) {
      const uint8_t op = machine_opcode_at(ctx, ctx.pc);
      std::fprintf(stderr, "note: unsupported opcode $%02X at $%04X\n", op, ctx.pc);
      break;
    }
    total += cycles;
  }
  machine_power_off();
  return kExitOk;
}

int command_info(const Args& args) {
  const LoadResult load = cartridge.cartridge_load(args.rom.c_str());
  static const char* const kNames[] = {"Ok",         "NoSignature", "ReadError", "OpenError",
                                       "NoMemory",   "DirtyHeader", "Truncated", "NoPrgRom",
                                       "NotRegular", "TooLarge"};
  static_assert(std::size(kNames) == size_t(LoadResult::TooLarge) + 1, "a name for each result");
  std::printf("result: %s\n", kNames[int(load)]);
  // Only Truncated and NoPrgRom decode the header before they refuse the image.
  if (!cli_loaded(load) && load != LoadResult::Truncated && load != LoadResult::NoPrgRom) {
    cartridge.cartridge_unload();
    return cli_load_failure(load);
  }
  const Cartridge& c = cartridge;
  std::printf("path: %s\n", args.rom.c_str());
  std::printf("file_size: %u\n", c.image_size);
  std::printf("mapper: %u\n", c.mapper);
  std::printf("prg_rom_size: %u\n", c.prg_rom_size);
  std::printf("chr_rom_size: %u\n", c.chr_rom_size);
  std::printf("vertical_mirroring: %u\n", c.vertical_mirroring ? 1 : 0);
  std::printf("battery: %u\n", c.battery ? 1 : 0);
  std::printf("trainer: %u\n", c.trainer_present ? 1 : 0);
  std::printf("four_screen: %u\n", c.four_screen ? 1 : 0);
  std::printf("dirty_header: %u\n", load == LoadResult::DirtyHeader ? 1 : 0);
  cartridge.cartridge_unload();
  return cli_loaded(load) ? kExitOk : cli_load_failure(load);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return cli_usage_error("a command is needed");
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
      for (const char* part : {kHelp, kCliDisasmHelp, kCliIpsHelp, kHelpEnd}) {
        std::fputs(part, stdout);
      }
      return kExitOk;
    }
  }
  const std::vector<std::string> rest(argv + 2, argv + argc);
  if (!std::strcmp(argv[1], "disasm")) return cli_disasm(rest);
  if (!std::strcmp(argv[1], "ips")) return cli_ips(rest);
  Args args;
  std::string error;
  if (!parse_args(argc, argv, &args, &error)) return cli_usage_error(error);
  host_cpu_choose_copy();
  if (args.options.count("--hardware")) profile_choice = Profile::Hardware;
  if (args.command == "run") return command_run(args);
  if (args.command == "bench") return command_bench(args);
  if (args.command == "trace") return command_trace(args);
  return command_info(args);
}

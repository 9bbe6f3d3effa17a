#include "shell/qt/startup.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "ppu/palettes.h"
#include "shell/host.h"
#include "shell/host_cpu.h"
#include "shell/plugin_loader.h"
#include "shell/qt/dialogs/options_dialog.h"
#include "shell/qt/main_window.h"
#include "shell/registry.h"

#ifdef __linux__
#include <spawn.h>
#include <sys/wait.h>
extern char** environ;
#endif

namespace {

namespace fs = std::filesystem;

struct PluginChoice {
  const char* setting;
  char* path;
  const char* missing_text;
};

const PluginChoice kPluginChoices[] = {
    {"Video", video_plugin_path,
     "You have not yet selected a video plugin, Please choose one in the following options "
     "dialog."},
    {"Input", input_plugin_path,
     "You have not yet selected a Input plugin, Please choose one in the following options "
     "dialog."},
};

// An empty name counts as none; the Options dialog's OK stores both names and the paths.
// False when the dialog found no plug-in at all or Exit was asked for: the program is to end.
bool choose_plugins(MainWindow& window) {
  for (const PluginChoice& c : kPluginChoices) {
    char name[kRegistryStringSize] = "";
    if (registry_get_string(kRegistryPlugins, c.setting, name) == 0 && name[0]) {
      std::snprintf(c.path, kPluginPathSize, "%s", name);
      continue;
    }
    host().message_box(c.missing_text, "Error", MessageButtons::Ok, MessageIcon::None, true);
    if (window.exiting() || options_dialog_exec(&window) == 0 || window.exiting()) return false;
  }
  return true;
}

#ifdef __linux__
fs::path program_dir() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::current_path(ec) : exe.parent_path();
}
#endif

}  // namespace

void startup_run(MainWindow& window, const std::string& command_line) {
  host().message_box(kStartupNotice, "Important!", MessageButtons::Ok, MessageIcon::Information,
                     true);
  // An Exit asked for while a box or dialog of the start-up was open ends the start-up there.
  if (window.exiting() || !choose_plugins(window)) {
    window.close();  // Exit, before the message loop has started
    return;
  }

  // The Options dialog opens on the button of palette_index, so the start-up value goes there.
  palette_index = 0;
  registry_get_dword(kRegistryOptions, "Palette", &palette_index);
  ppu_select_palette(palette_index);

  host_cpu_choose_copy();
  plugin_load_video();
  plugin_load_input();

  const std::string rom = startup_rom_token(command_line);
  if (!rom.empty()) window.start_game(rom.c_str());
}

std::string startup_rom_token(const std::string& command_line) {
  const size_t begin = command_line.find_first_not_of(' ');
  if (begin == std::string::npos) return {};
  const size_t end = command_line.find(' ', begin);
  return command_line.substr(begin, end == std::string::npos ? end : end - begin);
}

bool startup_without_display() {
#ifdef __linux__
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value && *value) return false;
  }
  return true;
#else
  return false;
#endif
}

int startup_headless_run(const std::string& rom_argument) {
#ifdef __linux__
  const fs::path dir = program_dir();
  const std::string cli = (dir / "vantrell-cli").string();
  const std::string rom =
      rom_argument.empty() ? (dir / "roms" / "demo.nes").string() : rom_argument;
  std::error_code ec;
  const fs::path here = fs::current_path(ec);
  const std::string stem = fs::path(rom).stem().string();
  const std::string png = (here / (stem + ".png")).string();
  const std::string wav = (here / (stem + ".wav")).string();

  std::printf(
      "vantrell: no display found (DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM are "
      "unset); falling back to the headless run: vantrell-cli run %s\n",
      rom.c_str());
  std::fflush(stdout);

  std::vector<std::string> args = {cli, "run", rom, "--frames", "600", "--png", png, "--wav", wav};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, cli.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
    std::fprintf(stderr, "vantrell: cannot start %s\n", cli.c_str());
    return 1;
  }
  int status = 0;
  waitpid(pid, &status, 0);
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 1;
  if (code == 0) {
    std::printf("vantrell: the last frame is in %s and the sound in %s\n", png.c_str(),
                wav.c_str());
  }
  return code;
#else
  (void)rom_argument;
  return 1;
#endif
}

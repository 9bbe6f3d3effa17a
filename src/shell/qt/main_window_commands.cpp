// The menu commands of the main window.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>

#include "audio/apu.h"
#include "cart/mapper.h"
#include "cheats/game_genie.h"
#include "cpu/cpu.h"
#include "machine/emulation.h"
#include "machine/frame.h"
#include "machine/profile.h"
#include "shell/host.h"
#include "shell/plugins.h"
#include "shell/qt/dialogs/about_dialog.h"
#include "shell/qt/dialogs/cheat_finder_dialog.h"
#include "shell/qt/dialogs/debugger_dialog.h"
#include "shell/qt/dialogs/game_genie_dialog.h"
#include "shell/qt/dialogs/ips_patcher_dialog.h"
#include "shell/qt/dialogs/nametable_viewer_dialog.h"
#include "shell/qt/dialogs/options_dialog.h"
#include "shell/qt/dialogs/rom_info_dialog.h"
#include "shell/qt/main_window.h"
#include "shell/qt/menu_table.h"
#include "shell/qt/recent_roms.h"
#include "shell/qt/version_check.h"
#include "shell/registry.h"
#include "state/slots.h"

namespace {

constexpr FileFilter kRomFilters[] = {
    {"NES ROM Image (*.nes)", "*.nes"},
    {"All Files (*.*)", "*.*"},
};

}  // namespace

void MainWindow::command(int id) {
  if (id >= ID_SAVESLOT_0 && id <= ID_SAVESLOT_9) {
    state_select_slot(id - ID_SAVESLOT_0);
    for (int slot = ID_SAVESLOT_0; slot <= ID_SAVESLOT_9; ++slot) set_checked(slot, slot == id);
    return;
  }
  if (id >= ID_RECENT_FIRST && id <= ID_RECENT_LAST) {
    open_recent(size_t(id - ID_RECENT_FIRST));
    return;
  }
  switch (id) {
    case ID_FILE_LOADROM: load_rom(); break;
    case ID_FILE_FREEROM: stop_game(); break;
    case ID_FILE_EXIT: close(); break;
    case ID_CPU_RESET:
      // Between two frames, so that the CPU's own write-back cannot undo the reset.
      if (emu_stop == 0) emulation_call(machine_reset);
      break;
    case ID_CPU_PAUSE:
      set_checked(id, !(emu_requests.fetch_xor(REQUEST_PAUSE) & REQUEST_PAUSE));
      break;
    case ID_FILE_FULLSCREEN: emu_requests |= REQUEST_FULLSCREEN; break;
    case ID_VIDEO_PLUGINSETTINGS: paused([] { video_plugin.options(); }); break;
    case ID_CONTROLLERS_PLUGINSETTINGS: paused([] { input_plugin.options(); }); break;
    case ID_SETTINGS_OPTIONS: paused([this] { options_dialog_exec(this); }); break;
    case ID_FILE_ROMINFO: paused([this] { rom_info_dialog_exec(this); }); break;
    case ID_HELP_ABOUT: paused([this] { about_dialog_exec(this); }); break;
    case ID_PRIORITY_LOWEST: set_priority(0, id); break;
    case ID_PRIORITY_NORMAL: set_priority(1, id); break;
    case ID_PRIORITY_HIGHEST: set_priority(2, id); break;
    case ID_FILE_LOADSTATE: state_load_dialog(); break;
    case ID_FILE_SAVESTATE: state_save_dialog(); break;
    case ID_FILE_QUICKSAVE: state_quick_save(); break;
    case ID_FILE_QUICKLOAD: state_quick_load(); break;
    case ID_ZOOM_100: set_zoom(1, id); break;
    case ID_ZOOM_200: set_zoom(2, id); break;
    case ID_ZOOM_300: set_zoom(3, id); break;
    // The mirroring set-ups rewrite the name-table pages the renderer reads: between frames.
    case ID_MIRRORING_VERTICAL: emulation_call(mapper_mirror_vertical); break;
    case ID_MIRRORING_HORIZONTAL: emulation_call(mapper_mirror_horizontal); break;
    case ID_MIRRORING_SINGLELOW: emulation_call(mapper_mirror_single_low); break;
    case ID_MIRRORING_SINGLEHIGH: emulation_call(mapper_mirror_single_high); break;
    case ID_DISPLAY_ALLSCANLINES:
      ntsc_display = 0;
      check_one_of({ID_DISPLAY_ALLSCANLINES, ID_DISPLAY_NTSC}, id);
      break;
    case ID_DISPLAY_NTSC:
      ntsc_display = 1;
      check_one_of({ID_DISPLAY_ALLSCANLINES, ID_DISPLAY_NTSC}, id);
      break;
    case ID_FILE_SAVESNAPSHOT: video_plugin.snapshot("snapshot.bmp"); break;
    case ID_AUDIO_SOUNDENABLED:
      sound_enabled_ = !sound_enabled_;
      set_checked(id, sound_enabled_);
      apply_sound_mask();
      break;
    case ID_CHANNEL_SQUARE1: toggle_channel(id, kApuChannelSquare1); break;
    case ID_CHANNEL_SQUARE2: toggle_channel(id, kApuChannelSquare2); break;
    case ID_CHANNEL_TRIANGLE: toggle_channel(id, kApuChannelTriangle); break;
    case ID_CHANNEL_NOISE: toggle_channel(id, kApuChannelNoise); break;
    case ID_CHANNEL_PCM: toggle_channel(id, kApuChannelPcm); break;
    // Frames are always paced to 16 ms: the VSync choice does nothing, and its marks stay.
    case ID_VSYNC_SYNC60: set_checked(id, true); break;
    case ID_VSYNC_NONE: set_checked(id, false); break;
    case ID_SETTINGS_HARDWARE: set_profile(profile_choice.load() != Profile::Hardware); break;
    case ID_GOODIES_DEBUGGER: paused([this] { debugger_dialog_exec(this); }); break;
    case ID_GOODIES_IPSPATCHER: paused([this] { ips_patcher_dialog_exec(this); }); break;
    case ID_GAMEGENIE_CODES: paused([this] { game_genie_dialog_exec(this); }); break;
    // Without an owner and without a pause: the game goes on while the user searches.
    case ID_GOODIES_CHEATFINDER: cheat_finder_dialog_exec(nullptr); break;
    // Without an owner and without a pause, like the cheat finder; placed over this window.
    case ID_GOODIES_NAMETABLEVIEWER: nametable_viewer_dialog_exec(this); break;
    case ID_HELP_CHECKVERSION:
      // The check pauses the game for its request and ends by clearing the pause request.
      version_check(this);
      set_checked(ID_CPU_PAUSE, false);
      break;
    // Off stops codes from being applied at later bank switches; patches made stay.
    case ID_GAMEGENIE_ON:
    case ID_GAMEGENIE_OFF:
      gg_set_enabled(id == ID_GAMEGENIE_ON);
      check_one_of({ID_GAMEGENIE_ON, ID_GAMEGENIE_OFF}, id);
      break;
    default: break;
  }
}

void MainWindow::set_profile(bool hardware) {
  const Profile p = hardware ? Profile::Hardware : Profile::Classic;
  profile_choice = p;
  registry_set_string(kRegistryOptions, "Profile", profile_name(p));
  set_checked(ID_SETTINGS_HARDWARE, hardware);
  // The profile is chosen at power-on: a running game starts again in the new one.
  if (emulation_running() && !current_rom_.empty()) {
    const std::string path = current_rom_;
    start_game(path.c_str());
  }
}

void MainWindow::load_rom() {
  char directory[kRegistryStringSize] = "";
  if (registry_get_string(kRegistryOptions, "RomDirectory", directory) != 0) directory[0] = 0;
  char* path = host().file_open_dialog("Vantrell - Load ROM Image", kRomFilters,
                                       int(std::size(kRomFilters)), directory);
  // Cancelled: a running game goes on.
  if (!path) return;
  start_game(path);
  delete[] path;
}

// Kept with its absolute path, so that the entry still works from another current directory. A
// name that is no file was not loaded and is not kept.
void MainWindow::remember_rom(const char* path) {
  const QFileInfo file(QFile::decodeName(path));
  if (!file.isFile()) return;
  recent_roms_add(QFile::encodeName(file.absoluteFilePath()).toStdString());
  refresh_recent_menu();
}

void MainWindow::refresh_recent_menu() {
  QAction* recent = action(ID_FILE_RECENT);
  QMenu* menu = recent->menu();
  menu->clear();
  const std::vector<std::string> paths = recent_roms();
  for (size_t i = 0; i < paths.size(); ++i) {
    const QString number = i < 9 ? QStringLiteral("&%1").arg(i + 1) : QStringLiteral("1&0");
    const QString path = QDir::toNativeSeparators(QFile::decodeName(paths[i].c_str()));
    QAction* a = menu->addAction(number + ' ' + QString(path).replace('&', QStringLiteral("&&")));
    const int id = ID_RECENT_FIRST + int(i);
    a->setData(id);
    a->setObjectName(QStringLiteral("id%1").arg(id));
    connect(a, &QAction::triggered, this, [this, id] { command(id); });
  }
  recent->setEnabled(!paths.empty());
}

void MainWindow::open_recent(size_t index) {
  const std::vector<std::string> paths = recent_roms();
  if (index >= paths.size()) return;
  const std::string& path = paths[index];
  if (!QFileInfo(QFile::decodeName(path.c_str())).isFile()) {
    recent_roms_remove(path);
    refresh_recent_menu();
    const std::string text =
        "The ROM Image could not be found and was removed from the list: " + path;
    host().message_box(text.c_str(), "File I/O Error", MessageButtons::Ok, MessageIcon::Exclamation,
                       true);
    return;
  }
  start_game(path.c_str());
}

template <typename Fn>
void MainWindow::paused(Fn&& fn) {
  emu_requests |= REQUEST_PAUSE;
  fn();
  // This also ends a pause the user had chosen before; the Pause mark says so.
  emu_requests &= uint16_t(~REQUEST_PAUSE);
  set_checked(ID_CPU_PAUSE, false);
}

void MainWindow::set_priority(uint32_t priority, int id) {
  thread_priority = priority;
  emulation_apply_priority();
  check_one_of({ID_PRIORITY_LOWEST, ID_PRIORITY_NORMAL, ID_PRIORITY_HIGHEST}, id);
}

void MainWindow::set_zoom(int factor, int id) {
  set_client_size(kClientWidth * factor, kClientHeight * factor);
  check_one_of({ID_ZOOM_100, ID_ZOOM_200, ID_ZOOM_300}, id);
}

void MainWindow::toggle_channel(int id, uint8_t bit) {
  channel_mask_ ^= bit;
  set_checked(id, channel_mask_ & bit);
  apply_sound_mask();
}

// Sound Enabled is the master switch over the channel items, which keep their own marks.
void MainWindow::apply_sound_mask() { apu_channel_enabled = sound_enabled_ ? channel_mask_ : 0; }

void MainWindow::set_checked(int id, bool checked) {
  if (QAction* a = action(id)) a->setChecked(checked);
}

void MainWindow::check_one_of(std::initializer_list<int> group, int chosen) {
  for (int id : group) set_checked(id, id == chosen);
}

#include "state/slots.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "machine/emulation.h"
#include "shell/host.h"
#include "shell/registry.h"

namespace {

char g_slot_text[4] = "ss0";

constexpr const char* kDialogTitle = "Vantrell - Save State";
constexpr FileFilter kFilters[] = {{"SNSS File (*.ss*)", "*.ss*"}, {"All Files (*.*)", "*.*"}};
constexpr int kFilterCount = 2;

using SnssOperation = void (SnssFile::*)(const char*, MachineAccess);

// Pauses the game for the length of a command.
class PauseScope {
 public:
  PauseScope() { emu_requests |= REQUEST_PAUSE; }
  ~PauseScope() { emu_requests &= uint16_t(~REQUEST_PAUSE); }
};

// Makes the state directory current for its lifetime, when one is set and can be entered.
class StateDirectoryScope {
 public:
  StateDirectoryScope() {
    std::error_code ec;
    saved_ = std::filesystem::current_path(ec);
    char dir[kRegistryStringSize];
    if (ec || registry_get_string(kRegistryOptions, "StateDirectory", dir) != 0) return;
    std::filesystem::current_path(dir, ec);
    changed_ = !ec;
  }
  ~StateDirectoryScope() {
    std::error_code ec;
    if (changed_) std::filesystem::current_path(saved_, ec);
  }

 private:
  std::filesystem::path saved_;
  bool changed_ = false;
};

void quick_command(SnssOperation operation) {
  if (emu_stop == 1) return;
  PauseScope pause;
  StateDirectoryScope directory;
  const std::string name = std::string("saveslot.") + g_slot_text;
  (snss_file.*operation)(name.c_str(), emulation_call);
}

void dialog_command(SnssOperation operation, bool save) {
  if (emu_stop == 1) return;
  PauseScope pause;
  char initial_dir[kRegistryStringSize] = "";
  registry_get_string(kRegistryOptions, "StateDirectory", initial_dir);
  char* path = save ? host().file_save_dialog(kDialogTitle, kFilters, kFilterCount, initial_dir)
                    : host().file_open_dialog(kDialogTitle, kFilters, kFilterCount, initial_dir);
  if (!path) return;
  (snss_file.*operation)(path, emulation_call);
  delete[] path;
}

}  // namespace

void state_select_slot(int slot) {
  if (slot < 0 || slot > 9) return;
  std::snprintf(g_slot_text, sizeof g_slot_text, "ss%d", slot);
}

void state_quick_load() { quick_command(&SnssFile::state_load_snss); }
void state_quick_save() { quick_command(&SnssFile::state_save_snss); }
void state_load_dialog() { dialog_command(&SnssFile::state_load_snss, false); }
void state_save_dialog() { dialog_command(&SnssFile::state_save_snss, true); }

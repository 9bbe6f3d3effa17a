#include "state/battery.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <strings.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "cart/cartridge.h"
#include "shell/file_read.h"
#include "shell/host.h"
#include "shell/registry.h"

BatteryConfig battery_config;

namespace {

namespace fs = std::filesystem;

// The save of the running game.
struct BatterySave {
  uint8_t* ram = nullptr;  // the machine's $6000-$7FFF while a save is active
  std::string path;
  bool writable = false;      // false after a refused file: it is never overwritten
  bool write_failed = false;  // the failure is reported once per run
  uint32_t last_check = 0;
  uint8_t on_disk[kBatteryRamSize] = {};  // what the file holds (or all zero before a write)
};
BatterySave g_save;

void report(const char* text, const std::string& path) {
  const std::string message = std::string(text) + "\n" + path;
  host().message_box(message.c_str(), "Battery Save Error", MessageButtons::Ok,
                     MessageIcon::Exclamation, true);
}

// $XDG_DATA_HOME/Vantrell/saves, or ~/.local/share/Vantrell/saves.
std::string default_directory() {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data && *data) return std::string(data) + "/Vantrell/saves";
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : ".") + "/.local/share/Vantrell/saves";
}

// The save file for a ROM path in a folder: DIR/NAME.sav (NAME without ".nes").
std::string save_file_for(const std::string& directory, const std::string& rom_path) {
  std::string name = fs::path(rom_path).filename().string();
  if (name.size() > 4 && strcasecmp(name.c_str() + name.size() - 4, ".nes") == 0) {
    name.resize(name.size() - 4);
  }
  return (fs::path(directory) / (name + ".sav")).string();
}

std::string configured_directory() {
  if (!battery_config.directory.empty()) return battery_config.directory;
  char setting[kRegistryStringSize] = "";
  if (registry_get_string(kRegistryOptions, "BatteryDirectory", setting) == 0 && setting[0]) {
    return setting;
  }
  return default_directory();
}

bool write_all(int fd, const uint8_t* data, size_t size) {
  while (size) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= size_t(n);
  }
  return true;
}

}  // namespace

BatteryFileResult battery_read_file(const std::string& path, uint8_t* ram) {
  // O_NONBLOCK: a FIFO put in the save's place must not hang the start of the game.
  const FileDescriptor file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
  if (file.fd < 0) {
    return errno == ENOENT ? BatteryFileResult::Missing : BatteryFileResult::ReadError;
  }
  struct stat st {};
  if (::fstat(file.fd, &st) != 0 || !S_ISREG(st.st_mode)) return BatteryFileResult::ReadError;
  if (st.st_size != off_t(kBatteryRamSize)) return BatteryFileResult::WrongSize;
  uint8_t buffer[kBatteryRamSize];
  if (read_up_to(file.fd, buffer, kBatteryRamSize) != ptrdiff_t(kBatteryRamSize)) {
    return BatteryFileResult::WrongSize;  // it shrank, or broke off, while being read
  }
  std::memcpy(ram, buffer, kBatteryRamSize);
  return BatteryFileResult::Ok;
}

bool battery_write_file(const std::string& path, const uint8_t* ram) {
  std::error_code ec;
  const fs::path target(path);
  if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
  const std::string temp = path + ".tmp";
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  // The data reaches the disk before the rename makes it the save.
  bool ok = write_all(fd, ram, kBatteryRamSize) && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  if (ok) ok = ::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

void battery_load(uint8_t* ram) {
  g_save = BatterySave{};
  if (!battery_config.enabled || !cartridge.battery || !cartridge.path || !ram) return;
  g_save.path = save_file_for(configured_directory(), cartridge.path);
  g_save.ram = ram;
  g_save.last_check = host().milliseconds();
  switch (battery_read_file(g_save.path, g_save.on_disk)) {
    case BatteryFileResult::Ok:
      std::memcpy(ram, g_save.on_disk, kBatteryRamSize);
      g_save.writable = true;
      break;
    case BatteryFileResult::Missing:
      // Nothing is written until the game changes its RAM.
      g_save.writable = true;
      break;
    case BatteryFileResult::WrongSize:
      report(
          "The battery save is not 8192 bytes long; the game starts with cleared battery RAM "
          "and the file is left as it is.",
          g_save.path);
      break;
    case BatteryFileResult::ReadError:
      report(
          "The battery save could not be read; the game starts with cleared battery RAM and "
          "the file is left as it is.",
          g_save.path);
      break;
  }
}

void battery_flush() {
  if (!g_save.ram || !g_save.writable) return;
  if (std::memcmp(g_save.ram, g_save.on_disk, kBatteryRamSize) == 0) return;
  uint8_t snapshot[kBatteryRamSize];
  std::memcpy(snapshot, g_save.ram, kBatteryRamSize);
  if (battery_write_file(g_save.path, snapshot)) {
    std::memcpy(g_save.on_disk, snapshot, kBatteryRamSize);
    g_save.write_failed = false;
  } else if (!g_save.write_failed) {
    // Reported once; the next check tries again, and the old save stays whole meanwhile.
    g_save.write_failed = true;
    report("The battery save could not be written (the previous save is kept).", g_save.path);
  }
}

void battery_poll(uint32_t now_ms) {
  if (!g_save.ram || now_ms - g_save.last_check < kBatteryCheckMs) return;
  g_save.last_check = now_ms;
  battery_flush();
}

void battery_release() { g_save.ram = nullptr; }

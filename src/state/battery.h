// Battery-backed cartridge RAM: for an image with the battery flag, $6000-$7FFF is kept in
// NAME.sav (NAME = the ROM's file name without ".nes") in the battery-save folder, read at
// power-on and written when the game stops and, while it runs, soon after each change.
//
// Everything here runs on the thread that runs the machine (the emulation thread, or the caller
// of headless_run); battery_config is set before that thread powers the machine on.
#pragma once

#include <cstdint>
#include <string>

inline constexpr uint32_t kBatteryRamSize = 0x2000;
inline constexpr uint32_t kBatteryRamAddress = 0x6000;
// How often a running game's RAM is compared with the file: a change reaches the disk within
// this (plus one frame), so a crash loses at most this much play.
inline constexpr uint32_t kBatteryCheckMs = 3000;

struct BatteryConfig {
  // Off by default, so that tests and tools that power machines on never touch the user's saves.
  bool enabled = false;
  // The folder; empty means the setting BatteryDirectory, or without it
  // $XDG_DATA_HOME/Vantrell/saves (~/.local/share/Vantrell/saves).
  std::string directory;
};
extern BatteryConfig battery_config;

enum class BatteryFileResult { Ok, Missing, WrongSize, ReadError };

// Reads a save of exactly kBatteryRamSize bytes into ram; ram is untouched unless the result is
// Ok.
BatteryFileResult battery_read_file(const std::string& path, uint8_t* ram);
// Writes ram to a temporary file beside path and renames it over path, so that a failed write
// (a full disk, a crash) leaves the previous save whole. Creates the folder. False on failure.
bool battery_write_file(const std::string& path, const uint8_t* ram);

// At power-on, before the reset vector is read: when the loaded image has the battery flag and
// saves are enabled, fills ram (the machine's $6000-$7FFF) from the save file. A file of the wrong
// size or one that cannot be read is reported, left as it is and never written during this run.
void battery_load(uint8_t* ram);
// Writes the RAM when it differs from the file's content (when the game stops).
void battery_flush();
// Between frames: flushes when kBatteryCheckMs have passed since the last check.
void battery_poll(uint32_t now_ms);
// Ends the run's save (after the last flush, before the RAM is freed).
void battery_release();

// What the ROM Info box shows about the loaded image, and the names of the mapper numbers.
#pragma once

#include <array>
#include <cstdint>
#include <string>

class Cartridge;

inline constexpr int kMapperCount = 256;
// Indexed by mapper number; "Unknown" where the board has no name here. Naming is independent of
// emulation support.
extern const std::array<const char*, kMapperCount> mapper_names;

// The mapper field: "<name> (<number>)", e.g. "Nintendo MMC3 (4)".
std::string rom_info_mapper_text(uint8_t mapper);

inline constexpr const char* kRomNotLoadedText = "ROM not loaded, or bad header";

// The ROM Info box's fields. Without an image, path holds kRomNotLoadedText and every other field
// is empty or false.
struct RomInfo {
  std::string path;
  std::string chr_rom_size;  // header units (8 KB), not bytes
  std::string prg_rom_size;  // header units (16 KB)
  std::string mapper;
  bool vertical_mirroring = false;
  bool battery = false;
  bool trainer = false;
  bool four_screen = false;
};

RomInfo rom_info_read(const Cartridge& cart);

#include "cart/rom_info.h"

#include "cart/cartridge.h"

namespace {

struct MapperName {
  uint8_t number;
  const char* name;
};

constexpr MapperName kMapperNames[] = {
    {0, "None"},
    {1, "Nintendo MMC1"},
    {2, "UNROM"},
    {3, "CNROM"},
    {4, "Nintendo MMC3"},
    {5, "Nintendo MMC5"},
    {6, "FFE F4xxx"},
    {7, "AOROM"},
    {8, "FFE F3xxx"},
    {9, "Nintendo MMC2"},
    {10, "Nintendo MMC4"},
    {11, "Color Dreams"},
    {12, "FFE F6xxx"},
    {15, "100 in 1"},
    {16, "Bandai"},
    {17, "FFE F8xxx"},
    {18, "Jaleco SS8806"},
    {19, "Namcot 106"},
    {20, "Famicom Disk System"},
    {21, "Konami VRC4 2a"},
    {22, "Konami VRC4 1b"},
    {23, "Konami VRC4 1a"},
    {24, "Konami VRC6 Mapper"},
    {25, "Konami VRC4"},
    {32, "Irem G-101"},
    {33, "Taito TC0190/TC0350"},
    {34, "Nina-1"},
    {64, "Tengen RAMBO-1"},
    {65, "Irem H-3001"},
    {66, "GNROM"},
    {67, "Sunsoft Mapper #3"},
    {68, "Sunsoft Mapper #4"},
    {69, "Sunsoft FME-7"},
    {70, "74161/32 Chipset "},  // the trailing blank is part of the name
    {71, "Camerica"},
    {78, "Irem 74HC161/32"},
    {80, "X-005"},
    {81, "C075"},
    {82, "X1-17"},
    {83, "Cony"},
    {84, "Unlicensed"},
    {91, "HK-SF3"},
    {225, "72 in 1"},
    {227, "1200 in 1"},
};

constexpr std::array<const char*, kMapperCount> build_mapper_names() {
  std::array<const char*, kMapperCount> names{};
  names.fill("Unknown");
  for (const MapperName& m : kMapperNames) names[m.number] = m.name;
  return names;
}

}  // namespace

constinit const std::array<const char*, kMapperCount> mapper_names = build_mapper_names();

std::string rom_info_mapper_text(uint8_t mapper) {
  return std::string(mapper_names[mapper]) + " (" + std::to_string(mapper) + ")";
}

RomInfo rom_info_read(const Cartridge& cart) {
  RomInfo info;
  if (!cart.prg_rom) {
    info.path = kRomNotLoadedText;
    return info;
  }
  info.path = cart.path ? cart.path : "";
  info.chr_rom_size = std::to_string(cart.chr_rom_size);
  info.prg_rom_size = std::to_string(cart.prg_rom_size);
  info.mapper = rom_info_mapper_text(cart.mapper);
  info.vertical_mirroring = cart.vertical_mirroring != 0;
  info.battery = cart.battery != 0;
  info.trainer = cart.trainer_present != 0;
  info.four_screen = cart.four_screen != 0;
  return info;
}

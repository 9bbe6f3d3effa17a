// The set-up table: every supported mapper by number, with the name ROM Info shows, its program
// banks at power-on, whether the pattern pages start on the first 8 KB of CHR ROM, its $8000
// write function and the rest of its set-up. A mapper number missing here runs as mapper 0 after
// a warning.
//
// Boards without the CHR reset seed their own pattern registers in their init (most with the
// first 8 KB too), so that no page is left pointing into the previous game's image.
#include "cart/mapper.h"
#include "cart/mappers/mappers.h"

using P = PrgSetup;

const MapperInfo mapper_table[] = {
    {0, "None", P::Std, true, ignore_write, nullptr},
    {1, "Nintendo MMC1", P::Std, true, mmc1_write, mmc1_init},
    {2, "UNROM", P::Std, false, latch_board_write, latch_board_init},
    {3, "CNROM", P::Std, true, latch_board_write, latch_board_init},
    {4, "Nintendo MMC3", P::Std, true, mmc3_write, mmc3_init},
    {5, "Nintendo MMC5", P::LastInAll, false, ignore_write, mmc5_init},  // writes at $4100
    {7, "AOROM", P::Fixed, false, latch_board_write, latch_board_init},
    {8, "FFE F3xxx", P::Fixed, true, latch_board_write, latch_board_init},
    {9, "Nintendo MMC2", P::Mmc2, false, mmc2_write, mmc2_init},
    {10, "Nintendo MMC4", P::Std, false, mmc4_write, mmc4_init},
    {11, "Color Dreams", P::Fixed, true, latch_board_write, latch_board_init},
    {15, "100 in 1", P::Fixed, true, multicart15_write, nullptr},
    {16, "Bandai", P::Std, false, bandai_write, bandai_init},  // also at $6000
    {21, "Konami VRC4 2a", P::Std, false, vrc4_2a_write, vrc4_2a_init},
    {22, "Konami VRC4 1b", P::Std, true, vrc4_1b_write, vrc4_1b_init},
    {23, "Konami VRC4 1a", P::Std, false, vrc4_1a_write, vrc4_1a_init},
    {24, "Konami VRC6 Mapper", P::Std, false, vrc6_write, vrc6_init},
    {32, "Irem G-101", P::Std, false, irem_g101_write, irem_g101_init},
    {33, "Taito TC0190/TC0350", P::Std, false, taito_tc0190_write, taito_tc0190_init},
    {34, "Nina-1", P::Fixed, true, nina1_write, nina1_init},  // also at $6000
    {40, "Unknown", P::ByInit, true, mapper40_write, mapper40_init},
    {66, "GNROM", P::Fixed, true, latch_board_write, latch_board_init},
    {68, "Sunsoft Mapper #4", P::Std, false, sunsoft4_write, sunsoft4_init},
    {71, "Camerica", P::Std, true, latch_board_write, latch_board_init},
    {78, "Irem 74HC161/32", P::Std, true, latch_board_write, latch_board_init},
    {91, "HK-SF3", P::LastTwice, true, hk_sf3_write, hk_sf3_init},  // also at $6000
    {225, "72 in 1", P::Fixed, true, multicart225_write, nullptr},
    {227, "1200 in 1", P::ByInit, true, multicart227_write, multicart227_init},
    {0, nullptr, P::Std, false, nullptr, nullptr},
};

void mapper_board_state(MapperStateVisit visit, void* user) {
  bandai_state(visit, user);
  discrete_state(visit, user);
  hk_sf3_state(visit, user);
  irem_g101_state(visit, user);
  konami_vrc_state(visit, user);
  mapper40_state(visit, user);
  mmc1_state(visit, user);
  mmc2_mmc4_state(visit, user);
  mmc3_state(visit, user);
  mmc5_state(visit, user);
  multicarts_state(visit, user);
  sunsoft4_state(visit, user);
  taito_tc0190_state(visit, user);
}

#include "cart/cartridge.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/ines_builder.h"

namespace {

LoadResult load_bytes(Cartridge& c, const std::vector<uint8_t>& bytes) {
  TempFile f(bytes);
  return c.cartridge_load(f.path());
}

TEST(CartridgeLoad, RejectsFilesWithoutSignature) {
  const std::vector<std::vector<uint8_t>> cases = {
      {}, {'N'}, {'N', 'E', 'S'}, {'N', 'E', 'S', 0x1B, 1, 0}, {'n', 'e', 's', 0x1A, 1, 0}};
  for (const auto& bytes : cases) {
    Cartridge c;
    EXPECT_EQ(load_bytes(c, bytes), LoadResult::NoSignature) << bytes.size();
    EXPECT_EQ(c.prg_rom, nullptr);
  }
}

TEST(CartridgeLoad, MissingFileIsOpenError) {
  Cartridge c;
  EXPECT_EQ(c.cartridge_load("/nonexistent/vantrell/rom.nes"), LoadResult::OpenError);
  EXPECT_EQ(c.cartridge_load(nullptr), LoadResult::OpenError);
  EXPECT_EQ(c.prg_rom, nullptr);
}

TEST(CartridgeLoad, SplitsImageAndDecodesFlags) {
  InesBuilder b;
  b.prg_banks = 2;
  b.chr_banks = 1;
  b.flags6 = 0x1B;  // mapper low nibble 1, four-screen, battery, vertical
  b.flags7 = 0x40;
  Cartridge c;
  const auto bytes = b.build();
  ASSERT_EQ(load_bytes(c, bytes), LoadResult::Ok);
  EXPECT_EQ(c.mapper, 0x41);
  EXPECT_EQ(c.vertical_mirroring, 1);
  EXPECT_EQ(c.battery, 2);
  EXPECT_EQ(c.four_screen, 8);
  EXPECT_EQ(c.trainer_present, 0);
  EXPECT_EQ(c.prg_rom_size, 2);
  EXPECT_EQ(c.chr_rom_size, 1);
  EXPECT_EQ(c.header, c.image);
  EXPECT_EQ(c.prg_rom, c.image + 16);
  EXPECT_EQ(c.chr_rom, c.prg_rom + 2 * 16384);
  EXPECT_EQ(c.trainer, nullptr);
  EXPECT_EQ(0, std::memcmp(c.image, bytes.data(), bytes.size()));
  ASSERT_NE(c.path, nullptr);
}

TEST(CartridgeLoad, TrainerMovesPrgRom) {
  InesBuilder b;
  b.trainer = true;
  b.chr_banks = 0;
  Cartridge c;
  ASSERT_EQ(load_bytes(c, b.build()), LoadResult::Ok);
  EXPECT_EQ(c.trainer_present, 4);
  EXPECT_EQ(c.trainer, c.image + 16);
  EXPECT_EQ(c.prg_rom, c.image + 528);
  EXPECT_EQ(c.chr_rom, nullptr);
  EXPECT_EQ(c.prg_rom[0], 0);  // bank 0 marker
}

TEST(CartridgeLoad, DirtyHeaderTakesMapperFromByte6Only) {
  struct Case {
    uint8_t junk[8];
    LoadResult result;
    uint8_t mapper;
  };
  const Case cases[] = {
      {{0, 0, 0, 0, 0, 0, 0, 0}, LoadResult::Ok, 0x12},
      {{'D', 'i', 'r', 't', 0, 0, 0, 0}, LoadResult::Ok, 0x12},  // bytes 8-11 do not count
      {{0, 0, 0, 0, 0, 0, 0, 1}, LoadResult::DirtyHeader, 0x02},
      {{0, 0, 0, 0, 'y', 'E', 'x', '!'}, LoadResult::DirtyHeader, 0x02},
  };
  for (const Case& t : cases) {
    InesBuilder b;
    b.flags6 = 0x20;
    b.flags7 = 0x10;
    std::memcpy(b.junk, t.junk, 8);
    Cartridge c;
    EXPECT_EQ(load_bytes(c, b.build()), t.result);
    EXPECT_EQ(c.mapper, t.mapper);
    EXPECT_NE(c.prg_rom, nullptr);
  }
}

TEST(CartridgeLoad, RefusesImagesShorterThanDeclaredOrWithoutPrg) {
  InesBuilder b;
  b.prg_banks = 2;
  b.chr_banks = 1;
  auto bytes = b.build();
  bytes.pop_back();
  Cartridge c;
  EXPECT_EQ(load_bytes(c, bytes), LoadResult::Truncated);
  EXPECT_EQ(c.prg_rom, nullptr);
  EXPECT_EQ(c.chr_rom, nullptr);

  InesBuilder empty;
  empty.prg_banks = 0;
  EXPECT_EQ(load_bytes(c, empty.build()), LoadResult::NoPrgRom);
  EXPECT_EQ(c.prg_rom, nullptr);

  // A bare 4-byte signature: the header reads as zeros, so no PRG ROM.
  EXPECT_EQ(load_bytes(c, {'N', 'E', 'S', 0x1A}), LoadResult::NoPrgRom);
}

TEST(CartridgeLoad, UnloadKeepsByteFieldsAndReloadReplacesImage) {
  InesBuilder b;
  b.flags6 = 0x01;
  Cartridge c;
  ASSERT_EQ(load_bytes(c, b.build()), LoadResult::Ok);
  c.cartridge_unload();
  EXPECT_EQ(c.image, nullptr);
  EXPECT_EQ(c.prg_rom, nullptr);
  EXPECT_EQ(c.path, nullptr);
  EXPECT_EQ(c.vertical_mirroring, 1);
  EXPECT_EQ(c.prg_rom_size, 1);
  // Loading over a record that still holds an image (after NoSignature) does not leak it.
  EXPECT_EQ(load_bytes(c, {'X', 'X', 'X', 'X'}), LoadResult::NoSignature);
  EXPECT_EQ(load_bytes(c, b.build()), LoadResult::Ok);
}

TEST(CartridgeLoad, EveryFailureHasAMessage) {
  EXPECT_STREQ(load_result_message(LoadResult::NoSignature).text, "NES File Signature not Found");
  EXPECT_STREQ(load_result_message(LoadResult::NoSignature).caption, "ROM Error");
  EXPECT_STREQ(load_result_message(LoadResult::ReadError).text, "Error Reading ROM Image");
  EXPECT_STREQ(load_result_message(LoadResult::OpenError).text, "Failed To Open ROM Image");
  EXPECT_STREQ(load_result_message(LoadResult::OpenError).caption, "File I/O Error");
  EXPECT_STREQ(load_result_message(LoadResult::NoMemory).caption, "Memory Error");
  EXPECT_EQ(load_result_message(LoadResult::Ok).text, nullptr);
  EXPECT_EQ(load_result_message(LoadResult::DirtyHeader).text, nullptr);
  for (LoadResult r : {LoadResult::Truncated, LoadResult::NoPrgRom}) {
    EXPECT_NE(load_result_message(r).text, nullptr);
    EXPECT_STREQ(load_result_message(r).caption, "ROM Error");
  }
}

}  // namespace

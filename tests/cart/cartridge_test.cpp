#include "cart/cartridge.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <tuple>
#include <utility>

#include "support/ines_builder.h"

namespace {

LoadResult load_bytes(Cartridge& c, const std::vector<uint8_t>& bytes) {
  TempFile f(bytes);
  return c.cartridge_load(f.path());
}

TEST(CartridgeLoad, BadImagesAreRefusedAndLeaveNoImage) {
  std::vector<uint8_t> truncated = InesBuilder(2, 1).build();
  truncated.pop_back();
  const std::pair<std::vector<uint8_t>, LoadResult> cases[] = {
      {{}, LoadResult::NoSignature},
      {{'N', 'E', 'S', 0x1B, 1, 0}, LoadResult::NoSignature},
      {{'n', 'e', 's', 0x1A, 1, 0}, LoadResult::NoSignature},
      {truncated, LoadResult::Truncated},
      {InesBuilder(0, 1).build(), LoadResult::NoPrgRom},
      {{'N', 'E', 'S', 0x1A}, LoadResult::NoPrgRom},  // the header reads as zeros
  };
  for (const auto& [bytes, result] : cases) {
    Cartridge cart;
    EXPECT_EQ(load_bytes(cart, bytes), result) << bytes.size();
    EXPECT_EQ(cart.prg_rom, nullptr);
    EXPECT_EQ(cart.chr_rom, nullptr);
  }
  Cartridge c;
  EXPECT_EQ(c.cartridge_load("/nonexistent/vantrell/rom.nes"), LoadResult::OpenError);
  EXPECT_EQ(c.cartridge_load(nullptr), LoadResult::OpenError);
}

// Nothing but a regular file is read (a FIFO without a writer would block the load), and a file
// longer than any header can declare is refused before its image is allocated.
TEST(CartridgeLoad, RefusesOtherFilesAndOverlongImagesUnread) {
  const std::vector<uint8_t> largest = {'N', 'E', 'S', 0x1A, 255, 255, 4, 0};
  TempFile max(largest), over(largest), fifo({}, "fifo");
  ASSERT_EQ(truncate(max.path(), kInesMaxImageSize), 0);
  ASSERT_EQ(truncate(over.path(), kInesMaxImageSize + 1), 0);
  std::remove(fifo.path());
  ASSERT_EQ(mkfifo(fifo.path(), 0600), 0);
  const std::pair<std::string, LoadResult> cases[] = {
      {max.path(), LoadResult::Ok},
      {over.path(), LoadResult::TooLarge},
      {fifo.path(), LoadResult::NotRegular},
      {".", LoadResult::NotRegular},
  };
  for (const auto& [path, result] : cases) {
    Cartridge c;
    EXPECT_EQ(c.cartridge_load(path.c_str()), result) << path;
    EXPECT_EQ(c.image != nullptr, result == LoadResult::Ok) << path;
  }
}

TEST(CartridgeLoad, SplitsImageAndDecodesFlags) {
  // Mapper low nibble 1, four-screen, battery, vertical.
  const auto bytes = InesBuilder(2, 1, 0x1B, 0x40).build();
  Cartridge c;
  ASSERT_EQ(load_bytes(c, bytes), LoadResult::Ok);
  EXPECT_EQ(std::tuple(c.mapper, c.vertical_mirroring, c.battery, c.four_screen, c.prg_rom_size),
            std::tuple(0x41, 1, 2, 8, 2));
  EXPECT_EQ(std::tuple(c.trainer, c.prg_rom, c.chr_rom),
            std::tuple(nullptr, c.image + 16, c.image + 16 + 2 * 16384));
  EXPECT_EQ(0, std::memcmp(c.image, bytes.data(), bytes.size()));

  InesBuilder t(1, 0);
  t.trainer = true;
  ASSERT_EQ(load_bytes(c, t.build()), LoadResult::Ok);
  EXPECT_EQ(std::tuple(c.trainer_present, c.trainer, c.prg_rom, c.chr_rom),
            std::tuple(4, c.image + 16, c.image + 528, nullptr));
}

TEST(CartridgeLoad, DirtyHeaderTakesMapperFromByte6Only) {
  const struct {
    uint8_t junk[8];
    LoadResult result;
    uint8_t mapper;
  } cases[] = {
      {{0, 0, 0, 0, 0, 0, 0, 0}, LoadResult::Ok, 0x12},
      {{'D', 'i', 'r', 't', 0, 0, 0, 0}, LoadResult::Ok, 0x12},  // bytes 8-11 do not count
      {{0, 0, 0, 0, 0, 0, 0, 1}, LoadResult::DirtyHeader, 0x02},
  };
  for (const auto& t : cases) {
    InesBuilder b(1, 1, 0x20, 0x10);
    std::memcpy(b.junk, t.junk, 8);
    Cartridge c;
    EXPECT_EQ(load_bytes(c, b.build()), t.result);
    EXPECT_EQ(c.mapper, t.mapper);
  }
}

TEST(CartridgeLoad, UnloadKeepsByteFieldsAndReloadReplacesImage) {
  const auto vertical = InesBuilder(1, 1, 0x01).build();
  Cartridge c;
  ASSERT_EQ(load_bytes(c, vertical), LoadResult::Ok);
  c.cartridge_unload();
  EXPECT_EQ(c.image, nullptr);
  EXPECT_EQ(c.prg_rom, nullptr);
  EXPECT_EQ(c.path, nullptr);
  EXPECT_EQ(c.vertical_mirroring, 1);
  // Loading over a record that still holds an image (after NoSignature) does not leak it.
  EXPECT_EQ(load_bytes(c, {'X', 'X', 'X', 'X'}), LoadResult::NoSignature);
  EXPECT_EQ(load_bytes(c, vertical), LoadResult::Ok);
}

TEST(CartridgeLoad, EveryFailureHasItsMessage) {
  const std::pair<LoadResult, std::string> cases[] = {
      {LoadResult::Ok, ""},
      {LoadResult::DirtyHeader, ""},
      {LoadResult::NoSignature, "NES File Signature not Found|ROM Error"},
      {LoadResult::ReadError, "Error Reading ROM Image|File I/O Error"},
      {LoadResult::OpenError, "Failed To Open ROM Image|File I/O Error"},
      {LoadResult::NoMemory, "Failed to allocate memory for ROM.|Memory Error"},
      {LoadResult::Truncated, "ROM Image is shorter than its header declares|ROM Error"},
      {LoadResult::NoPrgRom, "ROM Image holds no PRG ROM|ROM Error"},
      {LoadResult::NotRegular, "ROM Image is not a regular file|File I/O Error"},
      {LoadResult::TooLarge, "ROM Image is larger than any header can declare|ROM Error"},
  };
  for (const auto& [result, text] : cases) {
    const LoadMessage m = load_result_message(result);
    EXPECT_EQ(m.text ? std::string(m.text) + "|" + m.caption : "", text);
  }
}

}  // namespace

#include "state/snss.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/machine_fixture.h"
#include "support/temp_files.h"

namespace {

constexpr uint32_t kBase = 20;  // the base-register data follows the file and block headers
constexpr uint32_t kControllers = kBase + kSnssBaseRegistersSize + kSnssBlockHeaderSize;

using Bytes = std::vector<uint8_t>;

Bytes cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

Bytes be32(uint32_t v) { return {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)}; }

Bytes block(const char* tag, uint32_t version, uint32_t length, const Bytes& data) {
  return cat({Bytes(tag, tag + 4), be32(version), be32(length), data});
}

class Snss : public MachineFixture {
 protected:
  void SetUp() override { power_on(InesBuilder().vectors(0x8000)); }

  // Fills everything a state holds with values derived from k.
  void seed(uint8_t k) {
    CpuContext c = context();
    c.p = 0xC3 ^ k, c.x = 0x11 + k, c.y = 0x22 + k, c.a = 0x33 + k, c.s = 0xF0 - k;
    c.pc = uint16_t(0xABCD + k);
    cpu_set_context(&c);
    for (int i = 0; i < 0x800; ++i) flat()[i] = uint8_t(i * 7 + k);
    for (int i = 0; i < 256; ++i) ppu.oam[i] = uint8_t(i ^ k);
    for (int i = 0; i < 0x1000; ++i) vram[0x2000 + i] = uint8_t(i * 13 + k);
    for (int i = 0; i < 32; ++i) vram[0x3F00 + i] = uint8_t(0x20 + i + k);
    ppu.ctrl = 0x10 ^ k, ppu.mask = 0x1E ^ k, ppu.oam_address = 0x40 + k;
    ppu.vram_address = uint16_t(0x2345 + k), ppu.fine_x = uint8_t((5 + k) & 7);
    joypad[0] = {0x00F0A5u + k, uint8_t(5 + k % 8)};
    joypad[1] = {0x123456u ^ k, 16};
  }

  // What the base-register block holds, read from the CPU's own record and the PPU.
  Bytes base_state() {
    const CpuContext c = context();
    const uint16_t v = ppu.vram_address;
    Bytes s = {c.p, c.x, c.y, c.a, c.s, uint8_t(c.pc >> 8), uint8_t(c.pc), ppu.ctrl, ppu.mask};
    s.insert(s.end(), {uint8_t(v >> 8), uint8_t(v), ppu.oam_address, ppu.fine_x});
    s.insert(s.end(), flat(), flat() + 0x800);
    s.insert(s.end(), ppu.oam, ppu.oam + 256);
    s.insert(s.end(), vram + 0x2000, vram + 0x3000);
    s.insert(s.end(), vram + 0x3F00, vram + 0x3F20);
    return s;
  }
  Bytes pad_state() {
    return cat({be32(joypad[0].stream),
                be32(joypad[1].stream),
                {joypad[0].bit_index},
                {joypad[1].bit_index}});
  }

  Bytes save_and_read(const std::string& name) {
    snss_file.state_save_snss(name.c_str());
    return read_file(name);
  }

  TempDir dir_;
};

TEST_F(Snss, SavedFileHasTheBlockLayoutAndAdvancesBothPorts) {
  seed(0);
  const Bytes f = save_and_read(dir_ / "layout.ss");
  ASSERT_EQ(f.size(), 6506u);
  const struct {
    uint32_t offset;
    Bytes bytes;
  } table[] = {
      {0, {'S', 'N', 'S', 'S', 0, 0, 0, 2}},
      {8, {'B', 'A', 'S', 'R', 0, 0, 0, 1, 0, 0, 0x19, 0x32}},
      // P X Y A S, reserved, PC big-endian, ctrl, mask
      {kBase, {0xC3, 0x11, 0x22, 0x33, 0xF0, 0, 0xAB, 0xCD, 0x10, 0x1E}},
      // marker, vram_address big-endian, oam_address, fine_x
      {kBase + 0x192A, {0, 1, 0, 1, 0x23, 0x45, 0x40, 5}},
      {kControllers - 12, {'C', 'N', 'T', 'R', 0, 0, 0, 1, 0, 0, 0, 24}},
      // positions before the reads; the $4017 read in byte 6, $4016 in byte 7; streams LE
      {kControllers, {0, 0, 5, 16, 0,    0,    0x40, 0x41, 0xA5, 0xF0, 0, 0,
                      0, 0, 0, 0,  0x56, 0x34, 0x12, 0,    0,    0,    0, 0}},
  };
  for (const auto& e : table) {
    EXPECT_EQ(Bytes(f.begin() + e.offset, f.begin() + e.offset + e.bytes.size()), e.bytes)
        << "at offset " << e.offset;
  }
  // RAM, sprite memory, the name tables and palette RAM follow the registers in that order.
  const Bytes memory = base_state();
  EXPECT_TRUE(std::equal(memory.begin() + 13, memory.end(), f.begin() + kBase + 0x0A));
  EXPECT_EQ(Bytes({joypad[0].bit_index, joypad[1].bit_index}), Bytes({6, 17}));
}

TEST_F(Snss, SaveNamesGetSlotZeroUnlessTheyEndInAStateExtension) {
  const std::pair<std::string, std::string> table[] = {
      {"game", "game.ss0"},         {"game.ss", "game.ss"}, {"game.ss7", "game.ss7"},
      {"GAME.SS1", "GAME.SS1.ss0"}, {"x.ss", "x.ss"},       {"a.ss12", "a.ss12.ss0"},
  };
  for (const auto& [name, written] : table) {
    write_file(dir_ / written, Bytes(9000, 0xEE));  // an older, longer file is replaced
    snss_file.state_save_snss((dir_ / name).c_str());
    EXPECT_EQ(read_file(dir_ / written).size(), kSnssFileSize) << name;
    EXPECT_EQ(std::filesystem::exists(dir_ / name), name == written);
  }
}

TEST_F(Snss, LoadAppliesOnlyWholeKnownBlocksAndNoDerivedPpuFields) {
  seed(0);
  const Bytes base = base_state(), pads = pad_state();
  const Bytes saved = save_and_read(dir_ / "source.ss");
  const Bytes basr_data(saved.begin() + kBase, saved.begin() + kBase + 6450);
  const Bytes cntr_data(saved.begin() + kControllers, saved.end());
  const Bytes basr = block("BASR", 1, 6450, basr_data), cntr = block("CNTR", 1, 24, cntr_data);
  const Bytes snss = {'S', 'N', 'S', 'S'};

  // What the file tests, the file, and whether the base registers and the pads are applied.
  const std::tuple<const char*, Bytes, bool, bool> table[] = {
      {"no blocks counted", cat({snss, be32(0), basr, cntr}), false, false},
      {"MPRD skipped", cat({snss, be32(3), block("MPRD", 1, 5, {1, 2, 3, 4, 5}), basr, cntr}), true,
       true},
      {"unknown tag and version skipped",
       cat({snss, be32(3), block("ABCD", 1, 3, {1, 2, 3}), block("BASR", 2, 6450, basr_data),
            cntr}),
       false, true},
      {"BASR length field ignored", cat({snss, be32(2), block("BASR", 1, 100, basr_data), cntr}),
       true, true},
      {"count beyond the file", cat({snss, be32(9), cntr, basr}), true, true},
      // A block cut short is not applied: the rest of its buffer would be stale.
      {"cut inside BASR", cat({snss, be32(2), Bytes(basr.begin(), basr.begin() + 3000)}), false,
       false},
      {"cut inside a block header", cat({snss, be32(2), basr, {'C', 'N', 'T'}}), true, false},
      {"cut inside CNTR", cat({snss, be32(2), basr, Bytes(cntr.begin(), cntr.end() - 4)}), true,
       false},
  };
  // The fields the PPU derives from its registers are not touched by a load: each differs from
  // what the loaded ctrl ($10) and mask ($1E) would give.
  ppu.nmi_enable = 0x80, ppu.address_increment = 32, ppu.sprite_height_mask = 15;
  ppu.background_enable = 0, ppu.sprite_enable = 0, ppu.status = 0x80, ppu.scroll_y = 99;
  for (const auto& [what, file, base_applied, pads_applied] : table) {
    seed(0x5A);
    write_file(dir_ / "built.ss", file);
    snss_file.state_load_snss((dir_ / "built.ss").c_str());
    EXPECT_EQ(base_state() == base, base_applied) << what;
    EXPECT_EQ(pad_state() == pads, pads_applied) << what;
  }
  EXPECT_EQ(Bytes({ppu.nmi_enable, ppu.address_increment, ppu.sprite_height_mask,
                   ppu.background_enable, ppu.sprite_enable, ppu.status, ppu.scroll_y}),
            Bytes({0x80, 32, 15, 0, 0, 0x80, 99}));
  EXPECT_TRUE(host_.messages.empty());

  // A foreign controller block may hold any read position; the port's stream has 24 bits.
  Bytes odd = cntr_data;
  odd[2] = 200;
  write_file(dir_ / "odd.ss", cat({snss, be32(1), block("CNTR", 1, 24, odd)}));
  snss_file.state_load_snss((dir_ / "odd.ss").c_str());
  EXPECT_EQ(joypad[0].bit_index, 200 % 24);
}

TEST_F(Snss, FailuresAreReportedAndChangeNothing) {
  write_file(dir_ / "bad.ss", {'S', 'N', 'S', 'X', 0, 0, 0, 0});
  write_file(dir_ / "empty.ss", {});
  const std::string kOpen = "File I/O Error|Failed To Open State|!",
                    kSignature = "File Error|SNSS File Signature not Found|!";
  const std::tuple<bool, std::string, std::string> table[] = {
      // save or load, path, box
      {false, dir_ / "missing.ss", kOpen},
      {false, dir_ / "bad.ss", kSignature},
      {false, dir_ / "empty.ss", kSignature},
      {true, dir_ / "no-such-dir/x.ss", kOpen},
  };
  seed(0x5A);
  const Bytes base = base_state(), pads = pad_state();
  for (const auto& [save, path, box] : table) {
    host_.messages.clear();
    save ? snss_file.state_save_snss(path.c_str()) : snss_file.state_load_snss(path.c_str());
    EXPECT_EQ(host_.shown(), std::vector<std::string>{box}) << path;
    EXPECT_EQ(base_state(), base) << path;
    EXPECT_EQ(pad_state(), pads) << path;  // a failed save does not read the ports
  }
}

TEST_F(Snss, EveryFailedWriteIsReportedAndWritingGoesOn) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  std::filesystem::create_symlink("/dev/full", dir_.path() / "full.ss");
  snss_file.state_save_snss((dir_ / "full.ss").c_str());
  // The file header, BASR, the CNTR header and its data.
  EXPECT_EQ(host_.shown(), std::vector<std::string>(4, "File I/O Error|Write Failed|!"));
}

}  // namespace

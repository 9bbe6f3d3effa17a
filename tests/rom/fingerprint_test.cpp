// The classic machine's output, pinned: for each of our cartridges, fingerprints of the picture,
// the sound and the memory that vantrell-cli writes after a fixed run. A change anywhere in the
// CPU, the renderer, the sound or the mappers that alters what a game shows, plays or computes
// fails here. Each run is a process of its own: the noise channel's shift register lives on from
// one power-on to the next within a process.
//
// When a change is meant to alter the output, the failure prints the new fingerprints; say in the
// commit why they changed.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/temp_files.h"
#include "support/rom_runner.h"

namespace {

namespace fs = std::filesystem;

uint64_t fnv1a_file(const fs::path& path) {
  std::ifstream f(path, std::ios::binary);
  uint64_t h = 0xCBF29CE484222325ull;
  for (std::istreambuf_iterator<char> i(f), end; i != end; ++i)
    h = (h ^ uint8_t(*i)) * 0x100000001B3ull;
  return h;
}

struct Fingerprint {
  const char* rom;
  uint64_t picture, sound, memory;

  // As a row of the table below, so that a failure prints the row to paste.
  std::string row() const {
    char text[160];
    std::snprintf(text, sizeof text, "{\"%s\", 0x%016llXull, 0x%016llXull, 0x%016llXull},", rom,
                  (unsigned long long)picture, (unsigned long long)sound,
                  (unsigned long long)memory);
    return text;
  }
};

// 200 frames each; the demo with joypad 1 walking right, then jumping.
constexpr Fingerprint kFingerprints[] = {
    {"demo", 0x299ED82F0B8325DCull, 0xA796191360CF8A3Dull, 0xA5EABA65EBED18E0ull},
    {"cpu_instr", 0xB4C18771F0779D0Full, 0xD611005A1B495E5Dull, 0x798547BDAED7B2BDull},
    {"ppu_regs", 0x0072DDBEE8050251ull, 0xD611005A1B495E5Dull, 0x81D1198E17DE66E1ull},
    {"palette", 0x9B7BFA0F6D5169DEull, 0xD611005A1B495E5Dull, 0xEDD74A60A9F9EA68ull},
    {"sprite_dma", 0xEE003ABFD9C8785Aull, 0xD611005A1B495E5Dull, 0xE03597AD7C6EA891ull},
    {"sprite0_hit", 0xB0149B4824954146ull, 0xD611005A1B495E5Dull, 0xB0DC3316720BB170ull},
    {"scroll", 0xBEE4DC6B526ECAB9ull, 0xD611005A1B495E5Dull, 0x198C227780B320CFull},
    {"joypad", 0xB4C18771F0779D0Full, 0xD611005A1B495E5Dull, 0xF3E471164ABE6A45ull},
    {"apu_status", 0xB4C18771F0779D0Full, 0xE4CFE06164DCBD1Dull, 0x715CCE52595380B3ull},
    {"cheat_target", 0xB4C18771F0779D0Full, 0xD611005A1B495E5Dull, 0x99CEEA0F404F3FC2ull},
    {"mmc1", 0x81E7D0565A37C3D3ull, 0xD611005A1B495E5Dull, 0x19B438300B9E246Dull},
    {"mmc3", 0xAF56B4DDAA4CB478ull, 0xD611005A1B495E5Dull, 0x41A6900295EC8F09ull},
};

TEST(ClassicOutput, EveryCartridgeShowsPlaysAndComputesAsPinned) {
  TempDir temp;  // of its own: runs side by side must not share files
  const fs::path& dir = temp.path();
  std::ofstream(dir / "input.txt") << "20 1 80\n90 1 81\n120 1 0\n";
  for (const Fingerprint& f : kFingerprints) {
    const std::string command =
        std::string("\"") + VANTRELL_CLI + "\" run \"" + rom_path(f.rom) +
        "\" --frames 200 --no-battery --png \"" + (dir / "p.png").string() + "\" --wav \"" +
        (dir / "s.wav").string() + "\" --ram \"" + (dir / "m.bin").string() + "\"" +
        (std::string(f.rom) == "demo" ? " --input \"" + (dir / "input.txt").string() + "\"" : "");
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const Fingerprint now = {f.rom, fnv1a_file(dir / "p.png"), fnv1a_file(dir / "s.wav"),
                             fnv1a_file(dir / "m.bin")};
    EXPECT_EQ(now.row(), f.row());
  }
}

}  // namespace

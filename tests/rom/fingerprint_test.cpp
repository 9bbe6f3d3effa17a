// The classic machine's output, pinned: for each of our cartridges, a fingerprint of the picture,
// the sound and the memory after a fixed run. A change anywhere in the CPU, the renderer, the
// sound or the mappers that alters what a game shows, plays or computes fails here.
//
// When a change is meant to alter the output, the new fingerprints are printed by the failure;
// say in the commit why they changed.
#include <gtest/gtest.h>

#include <cstdio>

#include "support/rom_runner.h"

namespace {

uint64_t fnv1a(const std::vector<uint8_t>& bytes) {
  uint64_t h = 0xCBF29CE484222325ull;
  for (const uint8_t b : bytes) h = (h ^ b) * 0x100000001B3ull;
  return h;
}

struct Fingerprint {
  const char* rom;
  uint64_t frame, sound, memory;
};

// 200 frames each; the demo with joypad 1 walking right, then jumping.
constexpr Fingerprint kFingerprints[] = {
    {"demo", 0x6B6EE246600626FAull, 0xC6B350A28ADFDF65ull, 0x63796BF74A02D7D5ull},
    {"cpu_instr", 0xA93C8466F101C625ull, 0x60C82C18022F3A85ull, 0x798547BDAED7B2BDull},
    {"ppu_regs", 0xEE0D0E7F20110A2Dull, 0x60C82C18022F3A85ull, 0x81D1198E17DE66E1ull},
    {"palette", 0xB1CC9522FFF16455ull, 0x60C82C18022F3A85ull, 0xEDD74A60A9F9EA68ull},
    {"sprite_dma", 0x7C487720FEB87405ull, 0x60C82C18022F3A85ull, 0xE03597AD7C6EA891ull},
    {"sprite0_hit", 0xB02433E22C2F5295ull, 0x60C82C18022F3A85ull, 0x598E44DE6861AF1Eull},
    {"scroll", 0x2970B6B9D8F50859ull, 0x60C82C18022F3A85ull, 0x198C227780B320CFull},
    {"joypad", 0xA93C8466F101C625ull, 0x60C82C18022F3A85ull, 0xF3E471164ABE6A45ull},
    {"apu_status", 0xA93C8466F101C625ull, 0xB9C80FAD62134C35ull, 0x715CCE52595380B3ull},
    {"cheat_target", 0xA93C8466F101C625ull, 0x60C82C18022F3A85ull, 0x99CEEA0F404F3FC2ull},
    {"mmc1", 0x22EA3434C76E7D75ull, 0x60C82C18022F3A85ull, 0x19B438300B9E246Dull},
    {"mmc3", 0x222FC7103B47D515ull, 0x60C82C18022F3A85ull, 0x41A6900295EC8F09ull},
};

TEST(ClassicOutput, EveryCartridgeShowsPlaysAndComputesAsPinned) {
  for (const Fingerprint& f : kFingerprints) {
    const std::vector<RomInput> input = {{20, 1, 0x80}, {90, 1, 0x81}, {120, 1, 0}};
    const RomRun run =
        run_rom(f.rom, 200, std::string(f.rom) == "demo" ? input : std::vector<RomInput>{});
    ASSERT_TRUE(run.loaded) << f.rom;
    const Fingerprint now = {f.rom, fnv1a(run.frame), fnv1a(run.sound), fnv1a(run.memory)};
    char line[160];
    std::snprintf(line, sizeof line, "{\"%s\", 0x%016llXull, 0x%016llXull, 0x%016llXull},", f.rom,
                  (unsigned long long)now.frame, (unsigned long long)now.sound,
                  (unsigned long long)now.memory);
    EXPECT_EQ(now.frame, f.frame) << line;
    EXPECT_EQ(now.sound, f.sound) << line;
    EXPECT_EQ(now.memory, f.memory) << line;
  }
}

}  // namespace

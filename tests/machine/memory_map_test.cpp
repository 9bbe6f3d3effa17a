#include "machine/memory_map.h"

#include <gtest/gtest.h>

#include "cart/mapper.h"
#include "support/machine_fixture.h"

namespace {

using MemoryMap = MachineFixture;

// LDA abs; STA $00F0 for each address: the byte the CPU reads lands at $F0.
uint8_t cpu_read(MemoryMap* t, uint16_t address) {
  t->run_code({0xAD, uint8_t(address), uint8_t(address >> 8), 0x85, 0xF0}, 7);
  return t->flat()[0xF0];
}

void cpu_write(MemoryMap* t, uint16_t address, uint8_t value) {
  t->run_code({0xA9, value, 0x8D, uint8_t(address), uint8_t(address >> 8)}, 6);
}

TEST_F(MemoryMap, RamMirrorsAndUndecodedAreas) {
  power_on(InesBuilder());
  flat()[0x0000] = 0x5A;
  for (uint16_t a : {0x0800, 0x1000, 0x1800}) EXPECT_EQ(cpu_read(this, a), 0x5A) << a;
  cpu_write(this, 0x1FFF, 0x77);
  EXPECT_EQ(flat()[0x07FF], 0x77);
  EXPECT_EQ(flat()[0x1FFF], 0);

  cpu_write(this, 0x4020, 0x42);
  EXPECT_EQ(cpu_read(this, 0x4020), 0x42);
  cpu_write(this, 0x5000, 0x42);
  EXPECT_EQ(cpu_read(this, 0x5000), 0);
}

TEST_F(MemoryMap, TrainerAppearsAt7000AndPatternRamWithoutChr) {
  InesBuilder b(1, 0);
  b.trainer = true;
  power_on(b);
  EXPECT_EQ(cpu_read(this, 0x7000), 0xA0);
  EXPECT_EQ(cpu_read(this, 0x71FF), uint8_t(0xA0 ^ 0x1FF));
  for (int i = 0; i < 8; ++i) EXPECT_EQ(ppu_pages.pattern_page[i], vram + i * 0x400);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(ppu_pages.high_page[i], vram + 0x3000 + i * 0x400);
  EXPECT_EQ(ppu_pages.palette_page, vram + 0x3F00);
}

TEST_F(MemoryMap, PowerOffFreesAndUnloads) {
  power_on(InesBuilder());
  machine_power_off();
  EXPECT_EQ(std::tuple(shadow_context, vram, frame_buffer, cartridge.prg_rom),
            std::tuple(nullptr, nullptr, nullptr, nullptr));
}

}  // namespace

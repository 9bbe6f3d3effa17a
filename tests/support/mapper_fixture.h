// A cartridge loaded into the global record with the CPU context, VRAM and write table that
// power-on would give the mapper set-up.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "cart/cartridge.h"
#include "cart/mapper.h"
#include "machine/machine.h"
#include "support/ines_builder.h"
#include "support/recording_host.h"

class MapperFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    shadow_context = &shadow_;
    vram = vram_.data();
    ppu_pages = {};
    for (int i = 0; i < 4; ++i) ppu_pages.high_page[i] = vram + 0x3000 + i * 0x400;
    ppu_pages.palette_page = vram + 0x3F00;
    CpuContext ctx{};
    ctx.memory = flat_.data();
    ctx.write_handlers = write_table_;
    cpu_set_context(&ctx);
  }
  void TearDown() override {
    cartridge.cartridge_unload();
    cpu_set_program_region(nullptr, 0);
    shadow_context = nullptr;
    vram = nullptr;
  }

  // Loads the image and runs the mapper set-up, as power-on does.
  void power_on(const InesBuilder& b) {
    TempFile f(b.build());
    const LoadResult r = cartridge.cartridge_load(f.path());
    ASSERT_TRUE(r == LoadResult::Ok || r == LoadResult::DirtyHeader);
    mapper_setup();
    if (!cartridge.chr_rom_size) {
      for (int i = 0; i < 8; ++i) ppu_pages.pattern_page[i] = vram + i * 0x400;
    }
  }

  // The 8 KB bank number shown at a CPU window ($8000, $A000, $C000, $E000).
  int bank_at(uint32_t address) {
    CpuContext ctx;
    cpu_get_context(&ctx);
    const uint8_t* page = ctx.pages[address >> 13];
    return int((page - cartridge.prg_rom) / 8192);
  }
  // The 1 KB CHR ROM page shown at pattern page i.
  int chr_page_at(int i) { return int((ppu_pages.pattern_page[i] - cartridge.chr_rom) / 1024); }

  void cpu_write(uint32_t address, uint8_t value) {
    for (MemHandler* e = write_table_; (e->low & 0xFFFF) != 0xFFFF; ++e) {
      if (address >= e->low && address <= e->high) return e->handler.write(address, value, e);
    }
    flat_[address] = value;
  }

  RecordingHost host_;
  CpuContext shadow_{};
  std::vector<uint8_t> flat_ = std::vector<uint8_t>(0x10000);
  std::vector<uint8_t> vram_ = std::vector<uint8_t>(0x4000);
  MemHandler write_table_[4] = {
      {0x4100, 0x5FFF, ignore_write, 0},
      {0x6000, 0x7FFF, sram_write, 0},
      {0x8000, 0xFFFF, ignore_write, 0},
      {kMemHandlerEnd, kMemHandlerEnd, {}, 0},
  };
};

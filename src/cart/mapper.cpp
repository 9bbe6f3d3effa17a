#include "cart/mapper.h"

#include <cstring>

#include "cart/cartridge.h"
#include "cheats/game_genie.h"
#include "machine/machine.h"
#include "shell/host.h"

MapperState mapper_state = {{0, 0, 0, 0}, nullptr, nullptr, nullptr, nullptr, 1, nullptr, 0};
PpuPageTable ppu_pages = {};

namespace {

constexpr uint32_t kVramNametable0 = 0x2000;
constexpr uint32_t kVramNametable1 = 0x2400;

// Points the four name tables, and the renderer's copy, at the given VRAM offsets.
void set_nametables(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
  const uint32_t offsets[4] = {a, b, c, d};
  for (int i = 0; i < 4; ++i) {
    ppu_pages.nametable_page[i] = vram + offsets[i];
    ppu_pages.render_nametable[i] = vram + offsets[i];
  }
}

MemHandler* find_write_entry(uint32_t low) {
  for (MemHandler* e = shadow_context->write_handlers; e && (e->low & 0xFFFF) != 0xFFFF; ++e) {
    if ((e->low & 0xFFFF) == low) return e;
  }
  return nullptr;
}

// The program banks a mapper starts with, by its set-up kind (8-bit arithmetic throughout).
void initial_prg_banks(PrgSetup kind) {
  const uint8_t n = cartridge.prg_rom_size;
  const uint8_t last = uint8_t(n * 2 - 1);
  const uint8_t second_last = uint8_t((n + 127) * 2);
  uint8_t* b = mapper_state.prg_bank;
  switch (kind) {
    case PrgSetup::Std: b[0] = 0, b[1] = 1, b[2] = second_last, b[3] = last; break;
    case PrgSetup::Fixed: b[0] = 0, b[1] = 1, b[2] = 2, b[3] = 3; break;
    case PrgSetup::LastInAll: b[0] = b[1] = b[2] = b[3] = last; break;
    case PrgSetup::Mmc2:
      b[0] = 0, b[1] = uint8_t(n * 2 - 3), b[2] = second_last, b[3] = last;
      break;
    case PrgSetup::LastTwice: b[0] = b[2] = second_last, b[1] = b[3] = last; break;
    case PrgSetup::ByInit: break;
  }
}

}  // namespace

void ignore_write(uint32_t, uint32_t, MemHandler*) {}

uint32_t sram_read(uint32_t address, MemHandler*) {
  if (!mapper_state.sram_enabled) return 0;
  return shadow_context->pages[3][(address - 0x6000) & 0x1FFF];
}

void sram_write(uint32_t address, uint32_t value, MemHandler*) {
  if (mapper_state.sram_enabled)
    shadow_context->pages[3][(address - 0x6000) & 0x1FFF] = uint8_t(value);
}

uint32_t mapper_prg_banks_8k() { return uint32_t(cartridge.prg_rom_size) * 2; }

uint32_t mapper_chr_banks_1k() {
  return cartridge.chr_rom ? uint32_t(cartridge.chr_rom_size) * 8 : 0;
}

void mapper_sync_prg() {
  CpuContext ctx;
  cpu_get_context(&ctx);
  const uint32_t banks = mapper_prg_banks_8k();
  for (int i = 0; i < 4; ++i) {
    const uint32_t bank = banks ? mapper_state.prg_bank[i] % banks : 0;
    ctx.pages[4 + i] = cartridge.prg_rom + bank * kCpuPageSize;
  }
  cpu_set_context(&ctx);
  cpu_get_context(shadow_context);
  std::memcpy(ctx.memory + 0xFFFA, ctx.pages[7] + 0x1FFA, 6);
  gg_apply_all();
}

void mapper_reset_chr() {
  if (!cartridge.chr_rom_size || !cartridge.chr_rom) return;
  for (uint32_t i = 0; i < 8; ++i) ppu_pages.pattern_page[i] = cartridge.chr_rom + i * kPpuPageSize;
}

void mapper_map_chr(uint32_t first, uint32_t count, uint32_t bank) {
  const uint32_t total = mapper_chr_banks_1k();
  if (!total) return;
  for (uint32_t i = 0; i < count && first + i < 8; ++i) {
    const uint32_t page = (bank * count + i) % total;
    ppu_pages.pattern_page[first + i] = cartridge.chr_rom + page * kPpuPageSize;
  }
}

uint8_t mapper_reduce_bank(uint32_t value, uint32_t count) {
  uint32_t v = value & 0xFF;
  if (v >= count) v &= 0x7F;
  for (uint32_t mask = 0x3F; v >= count; mask >>= 1) v &= mask;
  return uint8_t(v);
}

void mapper_mirror_vertical() {
  set_nametables(kVramNametable0, kVramNametable1, kVramNametable0, kVramNametable1);
}
void mapper_mirror_horizontal() {
  set_nametables(kVramNametable0, kVramNametable0, kVramNametable1, kVramNametable1);
}
void mapper_mirror_single_low() {
  set_nametables(kVramNametable0, kVramNametable0, kVramNametable0, kVramNametable0);
}
void mapper_mirror_single_high() {
  set_nametables(kVramNametable1, kVramNametable1, kVramNametable1, kVramNametable1);
}

void mapper_set_write_handler(uint32_t low, MemWriteFn fn) {
  if (MemHandler* e = find_write_entry(low)) e->handler.write = fn;
  if (low == 0x8000) mapper_state.mapper_write = fn;
}

const MapperInfo* mapper_find(uint32_t number) {
  for (const MapperInfo* m = mapper_table; m->name; ++m) {
    if (m->number == number) return m;
  }
  return nullptr;
}

void mapper_setup() {
  mapper_state.mapper_ppu_latch_hook = nullptr;
  mapper_state.mapper_scanline_hook = nullptr;
  mapper_state.mapper_vblank_hook = nullptr;
  mapper_state.mapper_a12_hook = nullptr;
  mapper_state.irq_line = 0;
  cpu_get_context(shadow_context);
  mapper_set_write_handler(0x4100, ignore_write);
  mapper_set_write_handler(0x6000, sram_write);
  cpu_set_program_region(cartridge.prg_rom, uint32_t(cartridge.prg_rom_size) * kPrgUnit);

  const MapperInfo* m = mapper_find(cartridge.mapper);
  if (!m) {
    host().message_box(
        "Unsupported mapper!  Vantrell will attempt to run it anyway, but success is highly "
        "unlikely.",
        "Error!", MessageButtons::Ok, MessageIcon::None, false);
    m = mapper_find(0);
  }
  mapper_set_write_handler(0x8000, m->write);
  if (m->chr_reset) mapper_reset_chr();
  initial_prg_banks(m->prg);
  if (m->prg != PrgSetup::ByInit) mapper_sync_prg();
  if (m->init) m->init();
  cpu_set_context(shadow_context);
}

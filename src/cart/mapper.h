// The mapper framework: the state every mapper shares, the routines that turn bank numbers into
// the page pointers the CPU core and the PPU read through, the four name-table set-ups, and the
// set-up that installs a mapper by number at power-on.
#pragma once

#include <cstdint>

#include "cpu/cpu.h"

using MapperHook = void (*)();
using MapperLatchHook = void (*)(uint16_t* ppu_address);

struct MapperState {
  uint8_t prg_bank[4];  // 8 KB bank numbers at $8000, $A000, $C000, $E000
  MemWriteFn mapper_write;
  MapperHook mapper_scanline_hook;
  MapperHook mapper_vblank_hook;
  MapperLatchHook mapper_ppu_latch_hook;
  uint8_t sram_enabled;  // $6000-$7FFF reads and writes go through only while nonzero
  // The hardware profile's clocking: called at each counted rise of PPU address line A12.
  MapperHook mapper_a12_hook;
  // The hardware profile's IRQ output of the board: nonzero while it holds the line low.
  uint8_t irq_line;
};
extern MapperState mapper_state;

inline constexpr uint32_t kPpuPageSize = 0x400;

// The PPU's sixteen 1 KB pages ($0000-$3FFF by address >> 10), the renderer's copy of the name
// tables and the palette.
struct PpuPageTable {
  uint8_t* pattern_page[8];
  uint8_t* nametable_page[4];
  uint8_t* high_page[4];
  uint8_t* render_nametable[4];
  uint8_t* palette_page;
};
extern PpuPageTable ppu_pages;

// The 1 KB page that holds a 14-bit PPU address.
inline uint8_t* ppu_page(uint32_t address) {
  const uint32_t i = (address >> 10) & 15;
  if (i < 8) return ppu_pages.pattern_page[i];
  return i < 12 ? ppu_pages.nametable_page[i - 8] : ppu_pages.high_page[i - 12];
}

// Save states: offers every board file's own registers (those of all boards, whichever is
// installed, so the layout never depends on the cartridge), one variable at a time and always in
// the same order. The page pointers and mapper_state are the caller's to keep.
using MapperStateVisit = void (*)(void* data, uint32_t size, void* user);
void mapper_board_state(MapperStateVisit visit, void* user);

// Power-on: installs the loaded cartridge's mapper (pages, vectors, CHR, write function, hooks).
void mapper_setup();
// Makes prg_bank visible to the CPU: pages 4-7, the vector copy at $FFFA-$FFFF, Game Genie codes.
void mapper_sync_prg();
// Points the pattern pages at the first 8 KB of CHR ROM (nothing without CHR ROM).
void mapper_reset_chr();
// An 8-bit bank number below count, by the board's mask series (count > 0).
uint8_t mapper_reduce_bank(uint32_t value, uint32_t count);

void mapper_mirror_vertical();
void mapper_mirror_horizontal();
void mapper_mirror_single_low();
void mapper_mirror_single_high();

// Bank helpers for the mappers. Bank numbers past the image wrap by its bank count, so no page
// ever points outside the image.
uint32_t mapper_prg_banks_8k();  // 2n: 8 KB banks of PRG ROM
uint32_t mapper_chr_banks_1k();  // 8 KB units of CHR ROM × 8, 0 without CHR ROM
// Points `count` pattern pages from `first` at consecutive 1 KB banks starting at bank × count
// (bank counted in units of count KB). Does nothing without CHR ROM.
void mapper_map_chr(uint32_t first, uint32_t count, uint32_t bank);
// Replaces the function of the write-handler entry that starts at `low` ($4100, $6000, $8000).
void mapper_set_write_handler(uint32_t low, MemWriteFn fn);

// The functions of the $4100-$5FFF, $6000-$7FFF and $8000-$FFFF entries when no mapper
// replaces them.
void ignore_write(uint32_t address, uint32_t value, MemHandler* entry);
uint32_t sram_read(uint32_t address, MemHandler* entry);
void sram_write(uint32_t address, uint32_t value, MemHandler* entry);

// How a mapper starts: its program banks at set-up, whether it shows the first 8 KB of CHR ROM,
// its $8000 write function, and the rest of its set-up (registers, hooks, other entries).
enum class PrgSetup : uint8_t {
  Std,        // 0, 1, 2n-2, 2n-1: first 16 KB at $8000, last 16 KB at $C000
  Fixed,      // 0, 1, 2, 3
  LastInAll,  // 2n-1 in all four windows
  Mmc2,       // 0, 2n-3, 2n-2, 2n-1
  LastTwice,  // 2n-2, 2n-1, 2n-2, 2n-1
  ByInit,     // the init function sets the banks itself
};

struct MapperInfo {
  uint16_t number;
  const char* name;  // as ROM Info shows it
  PrgSetup prg;
  bool chr_reset;
  MemWriteFn write;  // installed at $8000-$FFFF
  MapperHook init;   // may be null
};

// The supported mappers, ended by an entry with a null name.
extern const MapperInfo mapper_table[];
// The entry of a mapper number, or null when it has no set-up.
const MapperInfo* mapper_find(uint32_t number);

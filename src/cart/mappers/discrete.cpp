// Boards built from discrete logic: one latch that a write anywhere in the ROM area loads, whose
// bit fields select the program bank, the 8 KB pattern bank and (AOROM) the one-screen table. The
// boards differ only in where the fields sit, so each is a row of the table below. Nina-1 (34),
// with three registers in the SRAM area, follows.
#include "cart/mappers/mappers.h"

namespace {

enum class PrgField : uint8_t {
  None,
  Bank16k,        // 16 KB at $8000, last 16 KB fixed at $C000
  Reduced16k,     // the same, reduced to the image by the mask series
  Bank32k,        // all four windows
  Bank32kModulo,  // all four windows, modulo the image's 32 KB banks
};
enum class ChrField : uint8_t {
  None,
  Bank8k,
  Bank8kMasked,  // ANDed with the number of 8 KB banks less one (8-bit)
};

struct LatchBoard {
  uint8_t number;
  uint16_t first_address;  // writes below it are ignored
  PrgField prg;
  uint8_t prg_shift, prg_mask;
  ChrField chr;
  uint8_t chr_shift, chr_mask;
  bool one_screen;  // bit 4 picks single-screen high, else low
};

constexpr LatchBoard kLatchBoards[] = {
    {2, 0x8000, PrgField::Reduced16k, 0, 0x7F, ChrField::None, 0, 0, false},    // UNROM
    {3, 0x8000, PrgField::None, 0, 0, ChrField::Bank8kMasked, 0, 0xFF, false},  // CNROM
    {7, 0x8000, PrgField::Bank32k, 0, 0x0F, ChrField::None, 0, 0, true},        // AOROM
    {8, 0x8000, PrgField::Bank16k, 3, 0x1F, ChrField::Bank8k, 0, 0x07, false},  // FFE F3xxx
    {11, 0x8000, PrgField::Bank32kModulo, 0, 0x0F, ChrField::Bank8k, 4, 0x0F,
     false},                                                                     // Color Dreams
    {66, 0x8000, PrgField::Bank32k, 4, 0x03, ChrField::Bank8k, 0, 0x03, false},  // GNROM
    {71, 0xC000, PrgField::Reduced16k, 0, 0x7F, ChrField::None, 0, 0, false},    // Camerica
    {78, 0x8000, PrgField::Bank16k, 0, 0x0F, ChrField::Bank8k, 4, 0x0F, false},  // Irem 74HC161/32
};

const LatchBoard* latch_board = &kLatchBoards[0];
uint8_t board_latch;

void latch_board_sync() {
  const LatchBoard& b = *latch_board;
  const uint32_t n = cartridge.prg_rom_size;
  const uint32_t prg = (board_latch >> b.prg_shift) & b.prg_mask;
  switch (b.prg) {
    case PrgField::None: break;
    case PrgField::Bank16k: prg_16k_at(0x8000, prg); break;
    case PrgField::Reduced16k: prg_16k_at(0x8000, mapper_reduce_bank(prg, n)); break;
    case PrgField::Bank32k: prg_32k(prg); break;
    // A 16 KB image counts as one 32 KB bank (its windows wrap onto it).
    case PrgField::Bank32kModulo: prg_32k(prg % (n >= 2 ? n / 2 : 1)); break;
  }
  mapper_sync_prg();

  const uint32_t chr = (board_latch >> b.chr_shift) & b.chr_mask;
  switch (b.chr) {
    case ChrField::None: break;
    case ChrField::Bank8k: mapper_map_chr(0, 8, chr); break;
    case ChrField::Bank8kMasked:
      mapper_map_chr(0, 8, chr & uint8_t(cartridge.chr_rom_size - 1));
      break;
  }
  if (b.one_screen) mapper_mirror(board_latch & 0x10 ? Mirror::S : Mirror::L);
}

uint8_t nina1_prg;     // 32 KB bank
uint8_t nina1_chr[2];  // 4 KB banks at $0000 and $1000

void nina1_sync() {
  prg_32k(nina1_prg);
  mapper_sync_prg();
  mapper_map_chr(0, 4, nina1_chr[0]);
  mapper_map_chr(4, 4, nina1_chr[1]);
}

}  // namespace

void discrete_state(MapperStateVisit visit, void* user) {
  visit_board_state(visit, user, board_latch, nina1_prg, nina1_chr);
}

void latch_board_init() {
  for (const LatchBoard& b : kLatchBoards) {
    if (b.number == cartridge.mapper) latch_board = &b;
  }
  // Boards without a pattern field carry pattern RAM; with CHR ROM they show its first 8 KB.
  if (latch_board->chr == ChrField::None) mapper_reset_chr();
}

void latch_board_write(uint32_t address, uint32_t value, MemHandler*) {
  if (address < latch_board->first_address) return;
  board_latch = uint8_t(value);
  latch_board_sync();
}

// The set-up shows 32 KB bank 0 and the first 8 KB of CHR ROM, which the registers repeat.
void nina1_init() {
  nina1_prg = 0;
  nina1_chr[0] = 0;
  nina1_chr[1] = 1;
  mapper_set_write_handler(0x6000, nina1_write);
}

// $7FFD and all of $8000-$FFFF select the program bank; $7FFE and $7FFF the pattern banks. The
// rest of $6000-$7FFF is lost, since this function replaces the SRAM writer.
void nina1_write(uint32_t address, uint32_t value, MemHandler*) {
  const uint8_t v = uint8_t(value);
  if (address == 0x7FFD || address >= 0x8000) {
    nina1_prg = v;
  } else if (address == 0x7FFE || address == 0x7FFF) {
    nina1_chr[address - 0x7FFE] = v;
  } else {
    return;
  }
  nina1_sync();
}

// What the debugger shows: a snapshot of the CPU registers, four PPU registers, the interrupt
// vectors and the program pages, taken on the emulation thread between two frames, and the texts
// its fields show.
#pragma once

#include <cstdint>
#include <string>

#include "debug/disassembler.h"

struct DebugSnapshot {
  uint8_t a, x, y, s, p;
  uint16_t pc;
  uint8_t ctrl, mask, status, oam_address;  // $2000, $2001, $2002 as stored, $2003
  uint8_t vectors[6];                       // flat memory $FFFA-$FFFF: NMI, reset, IRQ/BRK
  DebugMemory memory;
};

// Refreshes shadow_context and copies what the debugger shows. Runs where the machine is not
// running a frame (the emulation thread between two frames, or a powered-on machine at rest).
DebugSnapshot debug_take_snapshot();

// A register in base 2 without leading zeros: 5 is "101", 0 is "0".
std::string debug_binary_text(uint8_t value);
// The program counter in lower-case hexadecimal without leading zeros: "c00a".
std::string debug_pc_text(uint16_t pc);
// A vector as "$HHLL" from its two bytes.
std::string debug_vector_text(uint8_t low, uint8_t high);

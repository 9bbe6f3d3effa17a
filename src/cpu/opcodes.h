// The opcode table: mnemonic, addressing mode, length and cycle cost of each of the 256 opcode
// bytes. The CPU's dispatch, the disassembler and the trace all read it; its rows come from
// opcode_list.inc, so nothing about an opcode is written twice.
#pragma once

#include <cstdint>

enum class AddrMode : uint8_t {
  Implied,
  Accumulator,
  Immediate,
  ZeroPage,
  ZeroPageX,
  ZeroPageY,
  Absolute,
  AbsoluteX,
  AbsoluteY,
  IndirectX,  // (zp,X)
  IndirectY,  // (zp),Y
  Indirect,   // JMP (abs)
  Relative,
  None,  // an opcode without an instruction
};

struct OpcodeInfo {
  const char* mnemonic;  // "LDA" ...; "" for an unsupported opcode
  AddrMode mode;
  uint8_t length;  // opcode plus operand bytes; BRK counts 1, though it skips a padding byte
  uint8_t cycles;  // the fixed cost; 0 for an unsupported opcode
};

// Bytes taken by an instruction of the mode, opcode included.
constexpr uint8_t addr_mode_length(AddrMode mode) {
  switch (mode) {
    case AddrMode::Immediate:
    case AddrMode::ZeroPage:
    case AddrMode::ZeroPageX:
    case AddrMode::ZeroPageY:
    case AddrMode::IndirectX:
    case AddrMode::IndirectY:
    case AddrMode::Relative: return 2;
    case AddrMode::Absolute:
    case AddrMode::AbsoluteX:
    case AddrMode::AbsoluteY:
    case AddrMode::Indirect: return 3;
    default: return 1;
  }
}

namespace opcodes_detail {

struct OpcodeTable {
  OpcodeInfo rows[256];
};

// Builds the table from the list and rejects, at compile time, a list that is out of order or
// incomplete.
consteval OpcodeTable make_opcode_table() {
  OpcodeTable t{};
  int next = 0;
  auto row = [&](int op, const char* mnemonic, AddrMode mode, int cycles) {
    if (op != next++) throw "opcode_list.inc must list every opcode byte once, in order";
    t.rows[op] = {mnemonic, mode, addr_mode_length(mode), uint8_t(cycles)};
  };
#define OPCODE(op, mnemonic, mode, cycles) row(op, #mnemonic, AddrMode::mode, cycles);
#define UNOFFICIAL(op, mnemonic, mode, cycles) row(op, "", AddrMode::None, 0);
#include "cpu/opcode_list.inc"
#undef OPCODE
#undef UNOFFICIAL
  if (next != 256) throw "opcode_list.inc must end at 0xFF";
  return t;
}

inline constexpr OpcodeTable kOpcodeTable = make_opcode_table();

}  // namespace opcodes_detail

// kOpcodes[op] describes opcode byte op; usable in constant expressions.
inline constexpr const OpcodeInfo (&kOpcodes)[256] = opcodes_detail::kOpcodeTable.rows;

// True for the 151 opcodes of the documented instruction set.
constexpr bool opcode_supported(uint8_t op) { return kOpcodes[op].cycles != 0; }

static_assert(
    [] {
      int n = 0;
      for (const OpcodeInfo& row : kOpcodes) n += row.cycles != 0;
      return n;
    }() == 151,
    "the documented 6502 instruction set has 151 opcodes");

// The opcode table of the cycle-stepped CPU: all 256 opcodes with their true base costs and what
// the CPU's bus timing depends on. Built from opcode_list.inc like kOpcodes; the access kind and
// the page-cross rule follow from mnemonic and mode, and branches get their base cost of 2.
#pragma once

#include <cstdint>
#include <string_view>

#include "cpu/opcodes.h"

// What an instruction does with the address its mode forms.
enum class HwAccess : uint8_t {
  Other,   // no data access: implied, accumulator, branches, jumps, the stack
  Read,    // reads the operand (immediate operands included)
  Write,   // writes it without reading it
  Modify,  // read-modify-write: reads, writes the value back unchanged, writes the result
};

struct HwOpcodeInfo {
  const char* mnemonic;  // "LDA" ..., "JAM" for the opcodes that halt the CPU
  AddrMode mode;
  uint8_t length;  // opcode plus operand bytes; BRK counts 1, though it skips a padding byte
  uint8_t cycles;  // base cost; 0 for JAM, which never completes
  HwAccess access;
  // True when crossing a page costs a cycle: indexed reads whose index carries into the high
  // byte pay 1 more; taken branches pay 1, and 1 more when the target lies in another page.
  // Writes and read-modify-writes always pay their fixed cost.
  bool page_cross;
};

namespace opcodes_detail {

constexpr HwAccess hw_access(std::string_view mnemonic, AddrMode mode) {
  using enum AddrMode;
  if (mode == Implied || mode == Accumulator || mode == Relative || mode == Indirect ||
      mnemonic == "JMP" || mnemonic == "JSR") {
    return HwAccess::Other;
  }
  for (std::string_view w : {"STA", "STX", "STY", "SAX", "SHA", "SHX", "SHY", "TAS"}) {
    if (mnemonic == w) return HwAccess::Write;
  }
  for (std::string_view m :
       {"ASL", "LSR", "ROL", "ROR", "INC", "DEC", "SLO", "RLA", "SRE", "RRA", "DCP", "ISC"}) {
    if (mnemonic == m) return HwAccess::Modify;
  }
  return HwAccess::Read;
}

struct HwOpcodeTable {
  HwOpcodeInfo rows[256];
};

consteval HwOpcodeTable make_hw_opcode_table() {
  HwOpcodeTable t{};
  auto row = [&](int op, const char* mnemonic, AddrMode mode, int cycles) {
    const HwAccess access = hw_access(mnemonic, mode);
    const bool indexed =
        mode == AddrMode::AbsoluteX || mode == AddrMode::AbsoluteY || mode == AddrMode::IndirectY;
    t.rows[op] = {mnemonic,
                  mode,
                  addr_mode_length(mode),
                  uint8_t(mode == AddrMode::Relative ? 2 : cycles),
                  access,
                  mode == AddrMode::Relative || (indexed && access == HwAccess::Read)};
  };
#define OPCODE(op, mnemonic, mode, cycles) row(op, #mnemonic, AddrMode::mode, cycles);
#define UNOFFICIAL(op, mnemonic, mode, cycles) row(op, #mnemonic, AddrMode::mode, cycles);
#include "cpu/opcode_list.inc"
#undef OPCODE
#undef UNOFFICIAL
  return t;
}

inline constexpr HwOpcodeTable kHwOpcodeTable = make_hw_opcode_table();

}  // namespace opcodes_detail

// kHwOpcodes[op] describes opcode byte op for the cycle-stepped CPU.
inline constexpr const HwOpcodeInfo (&kHwOpcodes)[256] = opcodes_detail::kHwOpcodeTable.rows;

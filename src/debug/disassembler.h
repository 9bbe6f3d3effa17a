// The debugger's views of the program area $8000-$FFFF as it is mapped: a 6502 disassembly and a
// dump of eight bytes per line. The debugger dialog and `vantrell-cli disasm` share them; every
// opcode fact comes from the CPU's opcode table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "cpu/cpu.h"

// Where the program area's bytes come from: the 8 KB pages at $8000, $A000, $C000 and $E000, and
// the cartridge's program data they point into. An instruction that starts at the end of a page
// takes its operand bytes from the program data that follows that page.
struct DebugMemory {
  const uint8_t* pages[4];  // null for an unmapped page
  const uint8_t* prg_begin;
  uint32_t prg_size;
};

// Pages 4-7 of ctx, with the loaded cartridge's program data.
DebugMemory debug_memory(const CpuContext& ctx);

// A byte that cannot be read: past the end of the program data, or on an unmapped page. It shows
// as "??".
inline constexpr int kDebugNoByte = -1;

// The byte `ahead` bytes after `address` ($8000-$FFFF), as an instruction starting at `address`
// sees it, or kDebugNoByte.
int debug_read(const DebugMemory& mem, uint32_t address, uint32_t ahead);

// Buffer sizes, the terminating zero included: an operand text, and a list line.
inline constexpr size_t kDebugOperandSize = 24;
inline constexpr size_t kDebugTextSize = 80;

// Writes the mnemonic and operand of the instruction at `address` into `text` (kDebugOperandSize
// bytes), e.g. "JSR $C000".
// byte1 and byte2 are the bytes after the opcode, or kDebugNoByte. Returns the length, 1-3.
int debug_format_operand(char* text, uint32_t address, uint8_t opcode, int byte1, int byte2);

struct DebugInstruction {
  int bytes[3];  // the opcode and the two bytes after it, or kDebugNoByte
  int length;    // 1-3
  char text[kDebugOperandSize];
};

// Decodes the instruction at `address` ($8000-$FFFF).
DebugInstruction debug_decode(const DebugMemory& mem, uint32_t address);

// Writes the instruction's bytes in hexadecimal, separated by spaces, into `out` (at least 9
// bytes): "20 00 C0", "D0 ??".
void debug_bytes_text(const DebugInstruction& in, char* out);

// Writes the list line of the instruction at `address` into `line` (kDebugTextSize bytes), e.g.
// "8000:\t20 00 C0        JSR $C000". Returns the length, 1-3.
int debug_disassemble(const DebugMemory& mem, uint32_t address, char* line);

// Writes the eight bytes at `address` into `line` (kDebugTextSize bytes): the address, the bytes in
// hexadecimal, then the bytes as characters up to the first zero. Returns 8.
int debug_dump_raw(const DebugMemory& mem, uint32_t address, char* line);

enum class DebugListing { Raw, Disassembly };

// Formats $8000-$FFFF line after line and hands each line to `add`.
void debug_list(const DebugMemory& mem, DebugListing kind,
                const std::function<void(const char* line)>& add);

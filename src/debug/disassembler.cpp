#include "debug/disassembler.h"

#include <cstdio>
#include <cstring>
#include <iterator>

#include "cart/cartridge.h"
#include "cpu/hw_opcodes.h"
#include "cpu/opcodes.h"
#include "machine/profile.h"

namespace {

// What an addressing mode prints after the mnemonic.
enum class Operand : uint8_t {
  None,
  Byte,    // byte 1
  Word,    // byte 2 × 256 + byte 1
  Target,  // a branch's target: the address + 2 + byte 1 taken as signed
};

struct OperandFormat {
  const char* format;  // the mnemonic, then the operand's hexadecimal digits
  Operand operand;
};

// Indexed by AddrMode.
constexpr OperandFormat kOperandFormats[] = {
    {"%s", Operand::None},           // Implied
    {"%s a", Operand::None},         // Accumulator
    {"%s #$%s", Operand::Byte},      // Immediate
    {"%s $%s", Operand::Byte},       // ZeroPage
    {"%s $%s, X", Operand::Byte},    // ZeroPageX
    {"%s $%s, Y", Operand::Byte},    // ZeroPageY
    {"%s $%s", Operand::Word},       // Absolute
    {"%s $%s, X", Operand::Word},    // AbsoluteX
    {"%s $%s, Y", Operand::Word},    // AbsoluteY
    {"%s ($%s, X)", Operand::Byte},  // IndirectX
    {"%s ($%s), Y", Operand::Byte},  // IndirectY
    {"%s ($%s)", Operand::Word},     // Indirect
    {"%s $%s", Operand::Target},     // Relative
    {"%s", Operand::None},           // None: an undocumented opcode, shown as "???"
};
static_assert(std::size(kOperandFormats) == size_t(AddrMode::None) + 1,
              "one operand format per addressing mode");

// Spaces between the bytes and the text of a list line, by instruction length. The texts of
// different lengths do not line up.
constexpr int kTextGap[3] = {18, 13, 8};

// Two hexadecimal digits, or "??" for a byte that cannot be read.
void hex_byte(char* out, int byte) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  out[0] = byte == kDebugNoByte ? '?' : kDigits[(byte >> 4) & 15];
  out[1] = byte == kDebugNoByte ? '?' : kDigits[byte & 15];
  out[2] = 0;
}

bool inside(const uint8_t* p, const uint8_t* begin, uint32_t size) {
  return begin && uintptr_t(p) >= uintptr_t(begin) && uintptr_t(p) - uintptr_t(begin) < size;
}

}  // namespace

DebugMemory debug_memory(const CpuContext& ctx) {
  return {{ctx.pages[4], ctx.pages[5], ctx.pages[6], ctx.pages[7]},
          cartridge.prg_rom,
          cartridge.prg_rom ? cartridge.prg_rom_size * kPrgUnit : 0};
}

int debug_read(const DebugMemory& mem, uint32_t address, uint32_t ahead) {
  if (address < 0x8000 || address > 0xFFFF) return kDebugNoByte;
  const uint8_t* page = mem.pages[(address >> 13) & 3];
  if (!page) return kDebugNoByte;
  const uint32_t offset = (address & (kCpuPageSize - 1)) + ahead;
  if (offset < kCpuPageSize) return page[offset];
  // Past the page's end the bytes that follow it in the program data count, never those of the
  // next mapped page; there are none after the end of the program data.
  if (!inside(page, mem.prg_begin, mem.prg_size)) return kDebugNoByte;
  const uint32_t at = uint32_t(uintptr_t(page) - uintptr_t(mem.prg_begin)) + offset;
  return at < mem.prg_size ? mem.prg_begin[at] : kDebugNoByte;
}

int debug_format_operand(char* text, uint32_t address, uint8_t opcode, int byte1, int byte2) {
  // The hardware profile runs every opcode, so it names the undocumented ones too.
  const HwOpcodeInfo& hw = kHwOpcodes[opcode];
  const OpcodeInfo info = machine_profile == Profile::Hardware
                              ? OpcodeInfo{hw.mnemonic, hw.mode, hw.length, hw.cycles}
                              : kOpcodes[opcode];
  if (size_t(info.mode) >= std::size(kOperandFormats)) {
    std::snprintf(text, kDebugOperandSize, "<program error>");
    return info.length;
  }
  const OperandFormat& f = kOperandFormats[size_t(info.mode)];
  char digits[12] = "";
  switch (f.operand) {
    case Operand::None: break;
    case Operand::Byte: hex_byte(digits, byte1); break;
    case Operand::Word:
      hex_byte(digits, byte2);
      hex_byte(digits + 2, byte1);
      break;
    case Operand::Target:
      // Not wrapped: a branch near $FFFF prints a five-digit target.
      if (byte1 == kDebugNoByte) {
        std::memcpy(digits, "????", 5);
      } else {
        std::snprintf(digits, sizeof digits, "%04X", address + 2 + int8_t(byte1));
      }
      break;
  }
  const char* mnemonic = info.mnemonic[0] ? info.mnemonic : "???";
  std::snprintf(text, kDebugOperandSize, f.format, mnemonic, digits);
  return info.length;
}

DebugInstruction debug_decode(const DebugMemory& mem, uint32_t address) {
  DebugInstruction in{};
  for (uint32_t i = 0; i < 3; ++i) in.bytes[i] = debug_read(mem, address, i);
  if (in.bytes[0] == kDebugNoByte) {
    in.length = 1;
    std::snprintf(in.text, sizeof in.text, "???");
    return in;
  }
  in.length =
      debug_format_operand(in.text, address, uint8_t(in.bytes[0]), in.bytes[1], in.bytes[2]);
  return in;
}

void debug_bytes_text(const DebugInstruction& in, char* out) {
  out[0] = 0;
  for (int i = 0; i < in.length && i < 3; ++i, out += 3) {
    hex_byte(out, in.bytes[i]);
    if (i + 1 < in.length) out[2] = ' ';
  }
}

int debug_disassemble(const DebugMemory& mem, uint32_t address, char* line) {
  const DebugInstruction in = debug_decode(mem, address);
  if (in.length < 1 || in.length > 3) {
    std::snprintf(line, kDebugTextSize, "tool: fault in disassemble()");
    return in.length;
  }
  char bytes[9];
  debug_bytes_text(in, bytes);
  std::snprintf(line, kDebugTextSize, "%04X:\t%s%*s%s", address, bytes, kTextGap[in.length - 1], "",
                in.text);
  return in.length;
}

int debug_dump_raw(const DebugMemory& mem, uint32_t address, char* line) {
  int b[8];
  char hex[8][3];
  for (uint32_t i = 0; i < 8; ++i) {
    b[i] = debug_read(mem, address, i);
    hex_byte(hex[i], b[i]);
  }
  int n = std::snprintf(line, kDebugTextSize, "%04X\t%s  %s  %s  %s  %s  %s  %s  %s    \t", address,
                        hex[0], hex[1], hex[2], hex[3], hex[4], hex[5], hex[6], hex[7]);
  // The bytes as characters, separated by spaces; the text ends where a zero byte would be.
  for (int i = 0; i < 8; ++i) {
    if (i) line[n++] = ' ';
    if (b[i] == 0 || b[i] == kDebugNoByte) break;
    line[n++] = char(b[i]);
  }
  line[n] = 0;
  return 8;
}

void debug_list(const DebugMemory& mem, DebugListing kind,
                const std::function<void(const char* line)>& add) {
  char line[kDebugTextSize];
  uint32_t address = 0x8000;
  while (address < 0x10000) {
    const int length = kind == DebugListing::Raw ? debug_dump_raw(mem, address, line)
                                                 : debug_disassemble(mem, address, line);
    add(line);
    address += uint32_t(length > 0 ? length : 1);
  }
}

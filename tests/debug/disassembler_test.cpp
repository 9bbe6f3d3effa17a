#include "debug/disassembler.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

// 32 KB of program data, NOPs unless a test places bytes; by default mapped in order.
struct Program {
  std::vector<uint8_t> prg = std::vector<uint8_t>(0x8000, 0xEA);
  DebugMemory mem{{&prg[0], &prg[0x2000], &prg[0x4000], &prg[0x6000]}, prg.data(), 0x8000};

  // Places bytes at an offset of the program data, or at a CPU address through its page.
  void put(size_t offset, const std::vector<uint8_t>& bytes) {
    std::copy(bytes.begin(), bytes.end(), prg.begin() + std::ptrdiff_t(offset));
  }
  void at(uint32_t address, const std::vector<uint8_t>& bytes) {
    put(size_t(mem.pages[(address >> 13) & 3] - prg.data()) + (address & 0x1FFF), bytes);
  }
  std::string line(uint32_t address, int* length = nullptr) {
    char text[kDebugTextSize];
    const int n = debug_disassemble(mem, address, text);
    if (length) *length = n;
    return text;
  }
  std::string raw(uint32_t address) {
    char text[kDebugTextSize];
    EXPECT_EQ(debug_dump_raw(mem, address, text), 8);
    return text;
  }
};

constexpr int kNo = kDebugNoByte;

TEST(Disassembler, FormatsEveryAddressingMode) {
  // Address, opcode, operand bytes, text, length.
  const std::tuple<uint32_t, uint8_t, int, int, const char*, int> cases[] = {
      {0x8000, 0xC9, 0x05, 0x00, "CMP #$05", 2},      // immediate
      {0x8000, 0xA5, 0x10, 0x00, "LDA $10", 2},       // zero page
      {0x8000, 0x0A, 0x00, 0x00, "ASL a", 1},         // accumulator
      {0x8000, 0xB5, 0x10, 0x00, "LDA $10, X", 2},    // zero page,X
      {0x8000, 0x20, 0x00, 0xC0, "JSR $C000", 3},     // absolute
      {0x8000, 0xBD, 0x34, 0x12, "LDA $1234, X", 3},  // absolute,X
      {0x8000, 0xB9, 0x34, 0x12, "LDA $1234, Y", 3},  // absolute,Y
      {0x8000, 0xA1, 0x20, 0x00, "LDA ($20, X)", 2},  // indexed indirect
      {0x8000, 0xB1, 0x20, 0x00, "LDA ($20), Y", 2},  // indirect indexed
      {0x8000, 0x6C, 0xFC, 0xFF, "JMP ($FFFC)", 3},   // indirect
      {0x8000, 0xEA, 0x00, 0x00, "NOP", 1},           // implied
      {0x8000, 0x00, 0x00, 0x00, "BRK", 1},           // implied, its padding byte not shown
      {0xC010, 0xD0, 0xFE, 0x00, "BNE $C010", 2},     // relative: a branch to itself
      {0x9000, 0x10, 0x80, 0x00, "BPL $8F82", 2},     // relative, backwards
      {0xFFF0, 0xD0, 0x7F, 0x00, "BNE $10071", 2},    // relative, not wrapped past $FFFF
      {0x8000, 0xB6, 0x10, 0x00, "LDX $10, Y", 2},    // zero page,Y
      {0x8000, 0xFF, 0x00, 0x00, "???", 1},           // undocumented
      {0x8000, 0xC9, kNo, kNo, "CMP #$??", 2},        // bytes past the end of the program data
      {0x8000, 0xAD, 0x34, kNo, "LDA $??34", 3},      // the high byte missing
      {0x8000, 0x6C, kNo, kNo, "JMP ($\?\?\?\?)", 3},
      {0x8000, 0xD0, kNo, kNo, "BNE $????", 2},  // no target without the offset
  };
  for (const auto& [address, opcode, byte1, byte2, shown, length] : cases) {
    char text[kDebugOperandSize];
    EXPECT_EQ(debug_format_operand(text, address, opcode, byte1, byte2), length) << shown;
    EXPECT_STREQ(text, shown);
  }
}

TEST(Disassembler, LinesShowTheBytesThenTheInstructionAndGiveItsLength) {
  Program p;
  p.at(0x8000, {0x20, 0x00, 0xC0, 0xC9, 0x05, 0x0A, 0x02});
  const std::pair<const char*, int> cases[] = {{"8000:\t20 00 C0        JSR $C000", 3},
                                               {"8003:\tC9 05             CMP #$05", 2},
                                               {"8005:\t0A                  ASL a", 1},
                                               {"8006:\t02                  ???", 1}};
  uint32_t address = 0x8000;
  for (const auto& [line, length] : cases) {
    int n = 0;
    EXPECT_EQ(p.line(address, &n), line);
    EXPECT_EQ(n, length) << line;
    address += uint32_t(n);
  }
}

TEST(Disassembler, RawLinesEndTheCharactersAtAZeroByte) {
  Program p;
  p.at(0x8000, {'V', 'a', 'n', 't', 'r', 'e', 'l', 'l'});
  p.at(0x8008, {'N', 'E', 0x00, 'S', 0xFF, 0x01, 0x02, 0x03});
  p.at(0x8010, {0x00, 'A', 'B', 'C', 'D', 'E', 'F', 'G'});
  EXPECT_EQ(p.raw(0x8000), "8000\t56  61  6E  74  72  65  6C  6C    \tV a n t r e l l");
  EXPECT_EQ(p.raw(0x8008), "8008\t4E  45  00  53  FF  01  02  03    \tN E ");
  EXPECT_EQ(p.raw(0x8010), "8010\t00  41  42  43  44  45  46  47    \t");
}

// An instruction at a page's end reads on in the program data after that page, not in the page
// mapped next; after the end of the program data its bytes show as ??.
TEST(Disassembler, OperandsPastAPageEndComeFromTheFollowingProgramData) {
  Program p;
  // $8000: bank 2, $A000: bank 0, $C000: bank 1, $E000: bank 3 (the last).
  for (int i = 0; i < 4; ++i) p.mem.pages[i] = &p.prg[0x2000 * std::array{2, 0, 1, 3}[i]];
  p.put(0x5FFE, {0xAD, 0x20, 0x34, 0x12});  // the end of bank 2, then bank 3
  p.put(0x3FFF, {0xB5, 0x44});              // the end of bank 1, then bank 2
  p.at(0xFFFE, {0xAD, 0x78});
  EXPECT_EQ(p.line(0x9FFE), "9FFE:\tAD 20 34        LDA $3420");
  EXPECT_EQ(p.line(0x9FFF), "9FFF:\t20 34 12        JSR $1234");
  EXPECT_EQ(p.line(0xDFFF), "DFFF:\tB5 44             LDA $44, X");
  EXPECT_EQ(p.line(0xFFFE), "FFFE:\tAD 78 ??        LDA $??78");
  p.at(0xFFFF, {0xD0});
  EXPECT_EQ(p.line(0xFFFF), "FFFF:\tD0 ??             BNE $????");

  // A page that does not point into the program data has nothing after it.
  std::vector<uint8_t> other(0x2000, 0x4C);
  p.mem.pages[0] = other.data();
  EXPECT_EQ(p.line(0x9FFF), "9FFF:\t4C ?? ??        JMP $????");
  EXPECT_EQ(debug_read(p.mem, 0x9FFE, 1), 0x4C);
}

TEST(Disassembler, ListingsCoverTheProgramArea) {
  Program p;
  p.at(0xFFFE, {0x20, 0x00});  // the last instruction reaches past $FFFF
  std::vector<std::string> raw, code;
  debug_list(p.mem, DebugListing::Raw, [&](const char* line) { raw.emplace_back(line); });
  debug_list(p.mem, DebugListing::Disassembly, [&](const char* line) { code.emplace_back(line); });
  ASSERT_EQ(raw.size(), 4096u);
  EXPECT_EQ(raw.back().substr(0, 5), "FFF8\t");
  ASSERT_EQ(code.size(), 0x8000u - 1);  // NOPs, then one three-byte instruction
  EXPECT_EQ(code.back(), "FFFE:\t20 00 ??        JSR $??00");
}

}  // namespace

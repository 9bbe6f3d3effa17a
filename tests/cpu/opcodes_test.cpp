// Every documented opcode against hand-computed results: registers, flags, the whole memory and
// the cycle cost, plus the addressing modes' wrap rules and the stack and status rules.
#include <cstdio>
#include <set>
#include <sstream>

#include "cpu/cpu_fixture.h"
#include "cpu/opcodes.h"

namespace {

// code: bytes placed at PC. before/after: "A=.. X=.. Y=.. S=.. P=.. PC=.... IRQ=." and memory as
// "hhhh=bb[,bb...]". Unnamed fields keep their values; PC defaults to the next instruction.
// Defaults: A=X=Y=0, S=FD, P=20, PC=0200, memory zero.
struct OpcodeCase {
  const char* code;
  const char* before;
  const char* after;
  uint32_t cycles;
};

const OpcodeCase kCases[] = {
    // Loads, and the wrap rules of every addressing mode.
    {"A9 80", "", "A=80 P=A0", 2},
    {"A9 00", "A=05", "A=00 P=22", 2},
    {"A5 10", "0010=7F", "A=7F", 3},
    {"B5 F0", "X=20 0010=81 0110=01", "A=81 P=A0", 4},  // zp,X wraps in page zero
    {"AD 34 12", "1234=01", "A=01", 4},
    {"BD FF 80", "X=01 8100=40", "A=40", 4},  // no page-crossing penalty
    {"BD FF FF", "X=02 0001=33", "A=33", 4},  // abs,X wraps at $FFFF
    {"B9 FC 2F", "Y=04 3000=02", "A=02", 4},
    {"A1 FF", "00FF=34 0100=12 0000=56 1234=99 5634=11", "A=99 P=A0", 6},  // high byte at $0100
    {"A1 0C", "X=04 0010=00,30 3000=05", "A=05", 6},
    {"B1 FF", "Y=01 00FF=FF 0100=12 0000=34 1300=77 3500=11", "A=77", 5},  // high byte at $0100
    {"B1 10", "Y=10 0010=F8,FF 0008=44", "A=44", 5},  // pointer + Y wraps at $FFFF
    {"A2 00", "X=05", "X=00 P=22", 2},
    {"A6 10", "0010=90", "X=90 P=A0", 3},
    {"B6 F0", "Y=11 0001=07 0101=08", "X=07", 4},
    {"AE 00 30", "3000=01", "X=01", 4},
    {"BE FF 30", "Y=01 3100=02", "X=02", 4},
    {"A0 80", "", "Y=80 P=A0", 2},
    {"A4 10", "0010=01", "Y=01", 3},
    {"B4 0C", "X=04 0010=02", "Y=02", 4},
    {"AC 00 30", "3000=03", "Y=03", 4},
    {"BC FC 2F", "X=04 3000=04", "Y=04", 4},
    {"A9 42", "PC=FFFF", "A=42 PC=0001", 2},  // operand fetched across the end of memory
    // Stores set no flags.
    {"85 10", "A=42", "0010=42", 3},
    {"95 F0", "A=42 X=20", "0010=42", 4},
    {"8D 00 03", "A=00", "", 4},
    {"9D FF 02", "A=42 X=01", "0300=42", 5},
    {"99 FF FF", "A=42 Y=02", "0001=42", 5},
    {"81 FF", "A=42 00FF=00 0100=03", "0300=42", 6},
    {"91 10", "A=42 Y=01 0010=FF,02", "0300=42", 6},
    {"86 10", "X=42", "0010=42", 3},
    {"96 F0", "X=42 Y=20", "0010=42", 4},
    {"8E 00 03", "X=80", "0300=80", 4},
    {"84 10", "Y=42", "0010=42", 3},
    {"94 F0", "Y=42 X=20", "0010=42", 4},
    {"8C 00 03", "Y=42", "0300=42", 4},
    // Transfers; TXS sets no flags.
    {"AA", "A=80", "X=80 P=A0", 2},
    {"A8", "A=00 Y=05", "Y=00 P=22", 2},
    {"8A", "X=01 A=80 P=A2", "A=01 P=20", 2},
    {"98", "Y=FF", "A=FF P=A0", 2},
    {"BA", "S=80", "X=80 P=A0", 2},
    {"9A", "X=00", "S=00", 2},
    // Increments and decrements leave C and V alone.
    {"E8", "X=FF P=61", "X=00 P=63", 2},
    {"C8", "Y=7F", "Y=80 P=A0", 2},
    {"CA", "X=00", "X=FF P=A0", 2},
    {"88", "Y=01", "Y=00 P=22", 2},
    {"E6 10", "0010=FF", "0010=00 P=22", 5},
    {"F6 F0", "X=20 0010=7F", "0010=80 P=A0", 6},
    {"EE 00 03", "0300=01", "0300=02", 6},
    {"FE FF 02", "X=01 0300=FF P=61", "0300=00 P=63", 7},
    {"C6 10", "0010=00", "0010=FF P=A0", 5},
    {"D6 F0", "X=20 0010=01", "0010=00 P=22", 6},
    {"CE 00 03", "0300=81", "0300=80 P=A0", 6},
    {"DE FF 02", "X=01 0300=02", "0300=01", 7},
    // AND, ORA, EOR.
    {"29 0F", "A=F5", "A=05", 2},
    {"25 10", "A=F0 0010=0F", "A=00 P=22", 3},
    {"35 0C", "A=FF X=04 0010=80", "A=80 P=A0", 4},
    {"2D 00 30", "A=3C 3000=0F", "A=0C", 4},
    {"3D FC 2F", "A=FF X=04 3000=01", "A=01", 4},
    {"39 FC 2F", "A=FF Y=04 3000=02", "A=02", 4},
    {"21 0C", "A=FF X=04 0010=00,30 3000=03", "A=03", 6},
    {"31 10", "A=FF Y=04 0010=FC,2F 3000=04", "A=04", 5},
    {"09 80", "A=01", "A=81 P=A0", 2},
    {"05 10", "P=A0", "P=22", 3},
    {"15 0C", "X=04 0010=01", "A=01", 4},
    {"0D 00 30", "3000=02", "A=02", 4},
    {"1D FC 2F", "X=04 3000=03", "A=03", 4},
    {"19 FC 2F", "Y=04 3000=04", "A=04", 4},
    {"01 0C", "X=04 0010=00,30 3000=05", "A=05", 6},
    {"11 10", "Y=04 0010=FC,2F 3000=06", "A=06", 5},
    {"49 FF", "A=0F", "A=F0 P=A0", 2},
    {"45 10", "A=55 0010=55", "A=00 P=22", 3},
    {"55 0C", "A=01 X=04 0010=03", "A=02", 4},
    {"4D 00 30", "A=01 3000=02", "A=03", 4},
    {"5D FC 2F", "A=01 X=04 3000=05", "A=04", 4},
    {"59 FC 2F", "A=01 Y=04 3000=04", "A=05", 4},
    {"41 0C", "A=01 X=04 0010=00,30 3000=07", "A=06", 6},
    {"51 10", "A=01 Y=04 0010=FC,2F 3000=06", "A=07", 5},
    // ADC and SBC: binary sums whatever D says; C is carry out (no borrow); V signed overflow.
    {"69 05", "A=09 P=29", "A=0F P=28", 2},
    {"69 50", "A=50", "A=A0 P=E0", 2},
    {"69 01", "A=FF", "A=00 P=23", 2},
    {"69 80", "A=80", "A=00 P=63", 2},
    {"69 7F", "P=21", "A=80 P=E0", 2},
    {"65 10", "A=01 P=21 0010=01", "A=03 P=20", 3},
    {"75 0C", "A=01 X=04 0010=01", "A=02", 4},
    {"6D 00 30", "A=01 3000=02", "A=03", 4},
    {"7D FC 2F", "A=01 X=04 3000=03", "A=04", 4},
    {"79 FC 2F", "A=01 Y=04 3000=04", "A=05", 4},
    {"61 0C", "A=01 X=04 0010=00,30 3000=05", "A=06", 6},
    {"71 10", "A=01 Y=04 0010=FC,2F 3000=06", "A=07", 5},
    {"E9 01", "P=21", "A=FF P=A0", 2},
    {"E9 01", "A=80 P=21", "A=7F P=61", 2},
    {"E9 01", "A=05", "A=03 P=21", 2},
    {"E9 05", "A=05 P=29", "A=00 P=2B", 2},
    {"E9 FF", "A=7F P=21", "A=80 P=E0", 2},
    {"E5 10", "A=05 P=21 0010=01", "A=04", 3},
    {"F5 0C", "A=05 P=21 X=04 0010=02", "A=03", 4},
    {"ED 00 30", "A=05 P=21 3000=03", "A=02", 4},
    {"FD FC 2F", "A=05 P=21 X=04 3000=04", "A=01", 4},
    {"F9 FC 2F", "A=05 P=21 Y=04 3000=05", "A=00 P=23", 4},
    {"E1 0C", "A=05 P=21 X=04 0010=00,30 3000=06", "A=FF P=A0", 6},
    {"F1 10", "A=05 P=21 Y=04 0010=FC,2F 3000=01", "A=04", 5},
    // Compares: C when register >= M, N and Z from the difference.
    {"C9 10", "A=10", "P=23", 2},
    {"C9 20", "A=10", "P=A0", 2},
    {"C9 01", "A=80", "P=21", 2},
    {"C5 10", "A=05 0010=05", "P=23", 3},
    {"D5 0C", "A=05 X=04 0010=06", "P=A0", 4},
    {"CD 00 30", "A=05 3000=04", "P=21", 4},
    {"DD FC 2F", "A=05 X=04 3000=05", "P=23", 4},
    {"D9 FC 2F", "A=05 Y=04 3000=05", "P=23", 4},
    {"C1 0C", "A=05 X=04 0010=00,30 3000=05", "P=23", 6},
    {"D1 10", "A=05 Y=04 0010=FC,2F 3000=05", "P=23", 5},
    {"E0 05", "X=05", "P=23", 2},
    {"E4 10", "X=05 0010=06", "P=A0", 3},
    {"EC 00 30", "X=05 3000=04", "P=21", 4},
    {"C0 05", "Y=05", "P=23", 2},
    {"C4 10", "Y=05 0010=06", "P=A0", 3},
    {"CC 00 30", "Y=FF", "P=A1", 4},
    // BIT: Z from A & M, N and V from M.
    {"24 10", "A=01 0010=C0", "P=E2", 3},
    {"2C 00 30", "A=FF P=E2 3000=01", "P=20", 4},
    // Shifts and rotates on A and on memory.
    {"0A", "A=81", "A=02 P=21", 2},
    {"06 10", "0010=40", "0010=80 P=A0", 5},
    {"16 0C", "X=04 0010=80", "0010=00 P=23", 6},
    {"0E 00 30", "3000=01 P=21", "3000=02 P=20", 6},
    {"1E FC 2F", "X=04 3000=C0", "3000=80 P=A1", 7},
    {"4A", "A=01 P=A0", "A=00 P=23", 2},
    {"46 10", "0010=02", "0010=01", 5},
    {"56 0C", "X=04 0010=03", "0010=01 P=21", 6},
    {"4E 00 30", "3000=80 P=21", "3000=40 P=20", 6},
    {"5E FC 2F", "X=04 3000=01", "3000=00 P=23", 7},
    {"2A", "A=80 P=21", "A=01 P=21", 2},
    {"26 10", "0010=40", "0010=80 P=A0", 5},
    {"36 0C", "X=04 0010=80", "0010=00 P=23", 6},
    {"2E 00 30", "3000=01 P=21", "3000=03 P=20", 6},
    {"3E FC 2F", "X=04 3000=7F P=21", "3000=FF P=A0", 7},
    {"6A", "A=01", "A=00 P=23", 2},
    {"66 10", "0010=02 P=21", "0010=81 P=A0", 5},
    {"76 0C", "X=04 0010=01 P=21", "0010=80 P=A1", 6},
    {"6E 00 30", "3000=04", "3000=02", 6},
    {"7E FC 2F", "X=04 3000=FF", "3000=7F P=21", 7},
    // Flags. A CLI with an IRQ pending takes it at once; the pushed P has I clear.
    {"18", "P=21", "P=20", 2},
    {"38", "", "P=21", 2},
    {"B8", "P=60", "P=20", 2},
    {"D8", "P=28", "P=20", 2},
    {"F8", "", "P=28", 2},
    {"78", "", "P=24", 2},
    {"58", "P=24", "P=20", 2},
    {"58", "P=34 IRQ=1 FFFE=00,80", "P=24 IRQ=0 PC=8000 S=FA 01FB=30,01,02", 2},
    {"EA", "", "", 2},
    // Branches cost 3, taken or not, across a page or not.
    {"10 05", "", "PC=0207", 3},
    {"10 05", "P=A0", "", 3},
    {"30 FB", "P=A0", "PC=01FD", 3},
    {"50 10", "", "PC=0212", 3},
    {"70 10", "P=60", "PC=0212", 3},
    {"90 10", "", "PC=0212", 3},
    {"B0 10", "P=21", "PC=0212", 3},
    {"B0 10", "", "", 3},
    {"D0 10", "", "PC=0212", 3},
    {"D0 10", "P=22", "", 3},
    {"F0 10", "P=22", "PC=0212", 3},
    {"D0 20", "PC=02F0", "PC=0312", 3},
    // Jumps and the stack. JMP ($10FF) takes its high byte from $1100.
    {"4C 34 12", "", "PC=1234", 3},
    {"4C 34 12", "PC=FFFE", "PC=1234", 3},
    {"6C FF 10", "10FF=34 1100=12 1000=56", "PC=1234", 5},
    {"20 34 12", "", "PC=1234 S=FB 01FC=02,02", 6},
    {"20 34 12", "S=00", "PC=1234 S=FE 0100=02 01FF=02", 6},
    {"60", "S=FB 01FC=02,02", "PC=0203 S=FD", 6},
    {"60", "S=FE 01FF=33 0100=12", "PC=1234 S=00", 6},
    {"40", "S=FA 01FB=00,34,12", "P=20 PC=1234 S=FD", 6},
    {"40", "S=FA P=24 IRQ=1 01FB=C3,34,12 FFFE=00,80", "P=E7 PC=8000 IRQ=0 01FB=E3", 6},
    {"40", "S=FA IRQ=1 01FB=04,34,12", "P=24 PC=1234 S=FD", 6},
    {"00", "FFFE=00,80", "PC=8000 S=FA P=34 01FB=34,02,02", 7},
    {"48", "A=42 S=00", "S=FF 0100=42", 3},
    {"08", "P=22", "S=FC 01FD=22", 3},
    {"08", "P=DB", "S=FC 01FD=DB", 3},
    {"68", "S=FC 01FD=80 P=22", "A=80 P=A0 S=FD", 4},
    {"28", "S=FC 01FD=00", "P=00 S=FD", 4},
    {"28", "S=FC 01FD=00 P=24 IRQ=1", "P=00 S=FD", 4},
    {"28", "S=FF 0100=FF", "P=FF S=00", 4},
};

unsigned hex(const std::string& text) { return unsigned(std::stoul(text, nullptr, 16)); }

// Applies a state description to the registers and memory.
void apply(const std::string& text, CpuContext& r, std::vector<uint8_t>& memory) {
  std::istringstream in(text);
  std::string token;
  while (in >> token) {
    const std::string name = token.substr(0, token.find('='));
    const std::string value = token.substr(name.size() + 1);
    if (name == "A")
      r.a = uint8_t(hex(value));
    else if (name == "X")
      r.x = uint8_t(hex(value));
    else if (name == "Y")
      r.y = uint8_t(hex(value));
    else if (name == "S")
      r.s = uint8_t(hex(value));
    else if (name == "P")
      r.p = uint8_t(hex(value));
    else if (name == "PC")
      r.pc = uint16_t(hex(value));
    else if (name == "IRQ")
      r.irq_pending = uint8_t(hex(value));
    else {
      uint16_t at = uint16_t(hex(name));
      std::istringstream bytes(value);
      for (std::string b; std::getline(bytes, b, ',');) memory[at++] = uint8_t(hex(b));
    }
  }
}

std::string registers(const CpuContext& r) {
  char text[64];
  std::snprintf(text, sizeof text, "A=%02X X=%02X Y=%02X S=%02X P=%02X PC=%04X IRQ=%u", r.a, r.x,
                r.y, r.s, r.p, r.pc, r.irq_pending);
  return text;
}

std::string memory_differences(const std::vector<uint8_t>& got, const std::vector<uint8_t>& want) {
  std::string out;
  char text[32];
  for (size_t i = 0; i < got.size(); ++i) {
    if (got[i] == want[i]) continue;
    std::snprintf(text, sizeof text, " %04zX=%02X(want %02X)", i, got[i], want[i]);
    out += text;
  }
  return out;
}

class CpuOpcodeTest : public CpuFixture {};

TEST_F(CpuOpcodeTest, EachCaseGivesItsResultForItsExactCost) {
  for (const OpcodeCase& c : kCases) {
    SCOPED_TRACE(std::string(c.code) + " with " + c.before);
    std::fill(memory.begin(), memory.end(), 0);
    CpuContext start = ctx;
    start.a = start.x = start.y = 0, start.s = 0xFD, start.p = 0x20, start.pc = 0x0200;
    apply(c.before, start, memory);
    std::istringstream code(c.code);
    uint16_t at = start.pc;
    for (std::string b; code >> b;) memory[at++] = uint8_t(hex(b));

    CpuContext want = start;
    want.pc = at;
    std::vector<uint8_t> want_memory = memory;
    apply(c.after, want, want_memory);

    cpu_set_context(&start);
    const std::vector<uint8_t> before_memory = memory;
    EXPECT_EQ(cpu_execute(c.cycles - 1), kCpuBudgetSpent);
    EXPECT_EQ(registers(live()), registers(start)) << "ran with one cycle too few";
    EXPECT_EQ(memory_differences(memory, before_memory), "");
    EXPECT_EQ(cpu_get_cycles(1), 0u);

    EXPECT_EQ(cpu_execute(c.cycles), kCpuBudgetSpent);
    EXPECT_EQ(registers(live()), registers(want));
    EXPECT_EQ(memory_differences(memory, want_memory), "");
    EXPECT_EQ(cpu_get_cycles(1), c.cycles);
  }
}

TEST_F(CpuOpcodeTest, CasesCoverEverySupportedOpcode) {
  std::set<unsigned> covered;
  for (const OpcodeCase& c : kCases) covered.insert(hex(std::string(c.code, 2)));
  for (unsigned op = 0; op < 256; ++op) {
    EXPECT_TRUE(!opcode_supported(uint8_t(op)) || covered.count(op)) << "no case for " << op;
  }
}

TEST_F(CpuOpcodeTest, TableDescribesModesLengthsAndTheUnsupported) {
  int supported = 0;
  for (const OpcodeInfo& row : kOpcodes) {
    supported += row.cycles != 0;
    EXPECT_EQ(row.length, addr_mode_length(row.mode));
    EXPECT_EQ(row.mnemonic[0] == '\0', row.mode == AddrMode::None);
  }
  EXPECT_EQ(supported, 151);
  EXPECT_STREQ(kOpcodes[0x6C].mnemonic, "JMP");
  EXPECT_EQ(kOpcodes[0x6C].mode, AddrMode::Indirect);
  EXPECT_EQ(kOpcodes[0x6C].length, 3);
  EXPECT_EQ(kOpcodes[0xB6].mode, AddrMode::ZeroPageY);
  EXPECT_EQ(kOpcodes[0x0A].mode, AddrMode::Accumulator);
  EXPECT_EQ(kOpcodes[0x00].length, 1);
  EXPECT_FALSE(opcode_supported(0x1A));
  EXPECT_EQ(kOpcodes[0x1A].cycles, 0);
}

}  // namespace

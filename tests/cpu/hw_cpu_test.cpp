// The cycle-stepped CPU against a bus that records every cycle, and both opcode tables against
// the published opcode map.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cpu/hw_cpu.h"
#include "cpu/opcodes.h"

namespace {

// The published 6502 opcode map, row $n0-$nF per string: mode and base cost of each opcode;
// lower case for the documented instruction set, upper case for the undocumented opcodes.
constexpr const char* kMap[16] = {
    "imp7 izx6 JAM0 IZX8 ZP_3 zp_3 zp_5 ZP_5 imp3 imm2 acc2 IMM2 ABS4 abs4 abs6 ABS6",
    "rel2 izy5 JAM0 IZY8 ZPX4 zpx4 zpx6 ZPX6 imp2 aby4 IMP2 ABY7 ABX4 abx4 abx7 ABX7",
    "abs6 izx6 JAM0 IZX8 zp_3 zp_3 zp_5 ZP_5 imp4 imm2 acc2 IMM2 abs4 abs4 abs6 ABS6",
    "rel2 izy5 JAM0 IZY8 ZPX4 zpx4 zpx6 ZPX6 imp2 aby4 IMP2 ABY7 ABX4 abx4 abx7 ABX7",
    "imp6 izx6 JAM0 IZX8 ZP_3 zp_3 zp_5 ZP_5 imp3 imm2 acc2 IMM2 abs3 abs4 abs6 ABS6",
    "rel2 izy5 JAM0 IZY8 ZPX4 zpx4 zpx6 ZPX6 imp2 aby4 IMP2 ABY7 ABX4 abx4 abx7 ABX7",
    "imp6 izx6 JAM0 IZX8 ZP_3 zp_3 zp_5 ZP_5 imp4 imm2 acc2 IMM2 ind5 abs4 abs6 ABS6",
    "rel2 izy5 JAM0 IZY8 ZPX4 zpx4 zpx6 ZPX6 imp2 aby4 IMP2 ABY7 ABX4 abx4 abx7 ABX7",
    "IMM2 izx6 IMM2 IZX6 zp_3 zp_3 zp_3 ZP_3 imp2 IMM2 imp2 IMM2 abs4 abs4 abs4 ABS4",
    "rel2 izy6 JAM0 IZY6 zpx4 zpx4 zpy4 ZPY4 imp2 aby5 imp2 ABY5 ABX5 abx5 ABY5 ABY5",
    "imm2 izx6 imm2 IZX6 zp_3 zp_3 zp_3 ZP_3 imp2 imm2 imp2 IMM2 abs4 abs4 abs4 ABS4",
    "rel2 izy5 JAM0 IZY5 zpx4 zpx4 zpy4 ZPY4 imp2 aby4 imp2 ABY4 abx4 abx4 aby4 ABY4",
    "imm2 izx6 IMM2 IZX8 zp_3 zp_3 zp_5 ZP_5 imp2 imm2 imp2 IMM2 abs4 abs4 abs6 ABS6",
    "rel2 izy5 JAM0 IZY8 ZPX4 zpx4 zpx6 ZPX6 imp2 aby4 IMP2 ABY7 ABX4 abx4 abx7 ABX7",
    "imm2 izx6 IMM2 IZX8 zp_3 zp_3 zp_5 ZP_5 imp2 imm2 imp2 IMM2 abs4 abs4 abs6 ABS6",
    "rel2 izy5 JAM0 IZY8 ZPX4 zpx4 zpx6 ZPX6 imp2 aby4 IMP2 ABY7 ABX4 abx4 abx7 ABX7",
};

TEST(HwOpcodeTable, MatchesThePublishedMap) {
  constexpr std::string_view kModes = "impaccimmzp_zpxzpyabsabxabyizxizyindrel";
  for (int op = 0; op < 256; ++op) {
    std::string cell(kMap[op >> 4] + 5 * (op & 15), 4);
    SCOPED_TRACE(cell + " at opcode " + std::to_string(op));
    const bool documented = cell[0] >= 'a';
    for (char& c : cell) c = char(std::tolower(c));
    const size_t at = cell.starts_with("jam") ? 0 : kModes.find(cell.substr(0, 3));
    ASSERT_NE(at, std::string_view::npos);
    const AddrMode mode = AddrMode(at / 3);
    const int cycles = cell[3] - '0';
    EXPECT_EQ(kHwOpcodes[op].mode, mode);
    EXPECT_EQ(kHwOpcodes[op].cycles, cycles);
    EXPECT_EQ(kOpcodes[op].mode, documented ? mode : AddrMode::None);
    EXPECT_EQ(kOpcodes[op].cycles, !documented ? 0 : mode == AddrMode::Relative ? 3 : cycles);
  }
}

// Memory, lines and the record of every cycle ("r0200=A9 w01FD=02 ...").
struct RecordingBus {
  std::vector<uint8_t> memory = std::vector<uint8_t>(0x10000);
  std::string log, kinds;
  int cycle = 0;
  int nmi_from = 1 << 30, irq_from = 1 << 30;  // asserted from the end of this cycle on

  uint8_t read(uint16_t at) { return note('r', at, memory[at]); }
  void write(uint16_t at, uint8_t v) { memory[at] = note('w', at, v); }
  bool nmi_line() const { return cycle >= nmi_from; }
  bool irq_line() const { return cycle >= irq_from; }
  uint8_t note(char kind, uint16_t at, uint8_t v) {
    char text[16];
    std::snprintf(text, sizeof text, "%s%c%04X=%02X", log.empty() ? "" : " ", kind, at, v);
    log += text;
    kinds += kind;
    ++cycle;
    return v;
  }
};

struct Rig {
  RecordingBus bus;
  HwCpu<RecordingBus> cpu{bus};
  uint32_t result = kCpuBudgetSpent;

  // "a=12 x=01 s=FD p=24 n=3 i=0 @0200 A9 05 @00FF 34": registers (hex), the NMI and IRQ lines'
  // first asserted cycle, bytes placed from each @address on; "reset" runs the reset sequence.
  explicit Rig(const char* setup, int steps = 1) {
    // The vectors: NMI $9000, reset $8000, IRQ $A000.
    std::copy_n("\x00\x90\x00\x80\x00\xA0", 6, &bus.memory[0xFFFA]);
    CpuContext r{};
    r.pc = 0x0200, r.s = 0xFD, r.p = 0x24;
    std::istringstream in(setup);
    uint16_t at = 0x0200;
    bool reset = false;
    uint8_t* const regs[] = {&r.a, &r.x, &r.y, &r.s, &r.p};
    for (std::string t; in >> t;) {
      const size_t eq = t.find_first_of("=@"), reg = std::string_view("axysp").find(t[0]);
      const unsigned v = t == "reset" ? 0 : std::stoul(t.substr(eq + 1), 0, 16);
      if (t == "reset") reset = true;
      if (t[0] == '@') at = uint16_t(v);
      if (eq == std::string::npos && t != "reset") bus.memory[at++] = uint8_t(v);
      if (t.starts_with("n=")) bus.nmi_from = int(v);
      if (t.starts_with("i=")) bus.irq_from = int(v);
      if (eq == 1 && reg != std::string_view::npos) *regs[reg] = uint8_t(v);
    }
    cpu.load(r);
    if (reset) cpu.reset();
    for (int i = reset; i < steps; ++i) result = cpu.step();
  }

  std::string registers() const {
    CpuContext r{};
    cpu.store(r);
    char text[80];
    const int n = std::snprintf(text, sizeof text, "A=%02X X=%02X Y=%02X S=%02X P=%02X PC=%04X",
                                r.a, r.x, r.y, r.s, r.p, r.pc);
    if (result != kCpuBudgetSpent)
      std::snprintf(text + n, sizeof text - n, " halted at %04X", result);
    return text;
  }
};

// Every opcode takes its table's cost, plus one for a page cross where the table says so; a
// write writes once, at the end, a read-modify-write twice, a read never.
TEST(HwCpu, EveryOpcodeTakesItsCostAndAccessKind) {
  for (int op = 0; op < 256; ++op) {
    const HwOpcodeInfo& row = kHwOpcodes[op];
    if (row.mode == AddrMode::Relative || row.cycles == 0) continue;  // branches, JAM: below
    for (const char* index : {"00", "FF"}) {
      char setup[64];
      std::snprintf(setup, sizeof setup, "x=%s y=%s @0010 10 02 @0200 %02X 10 02", index, index,
                    op);
      const Rig rig(setup);
      const bool crossed = index[0] == 'F' && row.page_cross;
      SCOPED_TRACE(std::string(row.mnemonic) + " " + setup + ": " + rig.bus.log);
      EXPECT_EQ(rig.bus.kinds.size(), row.cycles + crossed);
      const std::string& k = rig.bus.kinds;
      if (row.access == HwAccess::Other) continue;
      const size_t writes = size_t(row.access) - size_t(HwAccess::Read);  // 0, 1, 2
      EXPECT_EQ(std::count(k.begin(), k.end(), 'w'), writes);
      EXPECT_TRUE(k.ends_with(std::string_view("rww", writes + 1)));
    }
  }
}

struct Case {
  const char* setup;
  std::string bus;   // every cycle of the steps, or empty
  std::string regs;  // registers afterwards, or empty
  int steps = 1;
};

void check(const Case& c) {
  const Rig rig(c.setup, c.steps);
  SCOPED_TRACE(c.setup);
  EXPECT_EQ(rig.bus.log, c.bus.empty() ? rig.bus.log : c.bus);  // empty: not checked
  EXPECT_EQ(rig.registers(), c.regs.empty() ? rig.registers() : c.regs);
}

TEST(HwCpu, BusCyclesOfEachModeAndKind) {
  const Case cases[] = {
      {"x=FF @0200 E8", "r0200=E8 r0201=00", "A=00 X=00 Y=00 S=FD P=26 PC=0201"},
      {"@0200 A9 80", "r0200=A9 r0201=80", "A=80 X=00 Y=00 S=FD P=A4 PC=0202"},
      {"x=20 @0200 B5 F0 @0010 42", "r0200=B5 r0201=F0 r00F0=00 r0010=42", ""},
      {"x=01 @0200 BD F0 12 @12F1 42", "r0200=BD r0201=F0 r0202=12 r12F1=42", ""},
      {"x=20 @0200 BD F0 12 @1310 42", "r0200=BD r0201=F0 r0202=12 r1210=00 r1310=42", ""},
      {"y=20 @0200 B1 FF @00FF F0 @0000 12 @1310 42",
       "r0200=B1 r0201=FF r00FF=F0 r0000=12 r1210=00 r1310=42", ""},
      {"x=01 @0200 A1 FE @00FF 34 @0000 12 @1234 77",
       "r0200=A1 r0201=FE r00FE=00 r00FF=34 r0000=12 r1234=77", ""},
      {"a=55 x=01 @0200 9D F0 12", "r0200=9D r0201=F0 r0202=12 r12F1=00 w12F1=55", ""},
      {"@0200 E6 10 @0010 7F", "r0200=E6 r0201=10 r0010=7F w0010=7F w0010=80", ""},
      {"x=01 @0200 1E 00 12 @1201 81",
       "r0200=1E r0201=00 r0202=12 r1201=81 r1201=81 w1201=81 w1201=02", ""},
      {"p=26 @0200 D0 10", "r0200=D0 r0201=10", "A=00 X=00 Y=00 S=FD P=26 PC=0202"},
      {"@0200 D0 10", "r0200=D0 r0201=10 r0202=00", "A=00 X=00 Y=00 S=FD P=24 PC=0212"},
      {"@0200 D0 F0", "r0200=D0 r0201=F0 r0202=00 r02F2=00", "A=00 X=00 Y=00 S=FD P=24 PC=01F2"},
      {"@0200 20 34 12", "r0200=20 r0201=34 r01FD=00 w01FD=02 w01FC=02 r0202=12",
       "A=00 X=00 Y=00 S=FB P=24 PC=1234"},
      {"s=FB @0200 60 @01FC 02 02", "r0200=60 r0201=00 r01FB=00 r01FC=02 r01FD=02 r0202=00",
       "A=00 X=00 Y=00 S=FD P=24 PC=0203"},
      {"s=FA @0200 40 @01FB FF 34 12", "r0200=40 r0201=00 r01FA=00 r01FB=FF r01FC=34 r01FD=12",
       "A=00 X=00 Y=00 S=FD P=EF PC=1234"},
      {"p=20 @0200 00", "r0200=00 r0201=00 w01FD=02 w01FC=02 w01FB=30 rFFFE=00 rFFFF=A0",
       "A=00 X=00 Y=00 S=FA P=24 PC=A000"},
      {"p=C3 @0200 08", "r0200=08 r0201=00 w01FD=F3", ""},
      {"s=FC @0200 28 @01FD FF", "r0200=28 r0201=00 r01FC=00 r01FD=FF",
       "A=00 X=00 Y=00 S=FD P=EF PC=0201"},
      {"@0200 6C FF 12 @12FF 34 @1200 56", "r0200=6C r0201=FF r0202=12 r12FF=34 r1200=56",
       "A=00 X=00 Y=00 S=FD P=24 PC=5634"},
      {"reset p=00", "r0200=00 r0200=00 r01FD=00 r01FC=00 r01FB=00 rFFFC=00 rFFFD=80",
       "A=00 X=00 Y=00 S=FA P=24 PC=8000"},
      {"@0200 02", "r0200=02 r0201=00 rFFFF=A0", "A=00 X=00 Y=00 S=FD P=24 PC=0200 halted at 0200",
       2},
  };
  for (const Case& c : cases) check(c);
}

TEST(HwCpu, UndocumentedOpcodes) {
  const Case cases[] = {
      {"@0200 A7 10 @0010 80", "", "A=80 X=80 Y=00 S=FD P=A4 PC=0202"},
      {"a=F0 x=3C @0200 87 10", "r0200=87 r0201=10 w0010=30", ""},
      {"a=41 @0200 C7 10 @0010 42", "r0200=C7 r0201=10 r0010=42 w0010=42 w0010=41",
       "A=41 X=00 Y=00 S=FD P=27 PC=0202"},
      {"a=10 p=25 @0200 E7 10 @0010 0F", "", "A=00 X=00 Y=00 S=FD P=27 PC=0202"},
      {"a=01 @0200 07 10 @0010 81", "", "A=03 X=00 Y=00 S=FD P=25 PC=0202"},
      {"a=FF p=25 @0200 27 10 @0010 80", "", "A=01 X=00 Y=00 S=FD P=25 PC=0202"},
      {"a=FF @0200 47 10 @0010 03", "", "A=FE X=00 Y=00 S=FD P=A5 PC=0202"},
      {"a=10 p=25 @0200 67 10 @0010 02", "", "A=91 X=00 Y=00 S=FD P=A4 PC=0202"},
      {"a=FF @0200 0B 80", "", "A=80 X=00 Y=00 S=FD P=A5 PC=0202"},
      {"a=FF @0200 4B 03", "", "A=01 X=00 Y=00 S=FD P=25 PC=0202"},
      {"a=FF p=25 @0200 6B C0", "", "A=E0 X=00 Y=00 S=FD P=A5 PC=0202"},
      {"a=F0 x=3C @0200 CB 10", "", "A=F0 X=20 Y=00 S=FD P=25 PC=0202"},
      {"a=10 p=25 @0200 EB 01", "", "A=0F X=00 Y=00 S=FD P=25 PC=0202"},
      {"x=FF @0200 8B FF", "", "A=EE X=FF Y=00 S=FD P=A4 PC=0202"},
      {"a=01 @0200 AB 0F", "", "A=0F X=0F Y=00 S=FD P=24 PC=0202"},
      {"s=F0 @0200 BB 00 12 @1200 3C", "", "A=30 X=30 Y=00 S=30 P=24 PC=0203"},
      {"a=F0 x=3C y=01 @0200 9B 00 12", "r0200=9B r0201=00 r0202=12 r1201=00 w1201=10", ""},
      {"x=FF y=01 @0200 9E 00 12", "r0200=9E r0201=00 r0202=12 r1201=00 w1201=13", ""},
      {"a=FF x=03 y=20 @0200 9F F0 12", "r0200=9F r0201=F0 r0202=12 r1210=00 w0310=03", ""},
  };
  for (const Case& c : cases) check(c);
}

TEST(HwCpu, InterruptTiming) {
  const std::string irq_entry = " w01FD=02 w01FC=02 w01FB=20 rFFFE=00 rFFFF=A0";
  const Case cases[] = {
      // CLI lets the IRQ in only after the next instruction; SEI keeps it out one instruction late.
      {"i=0 @0200 58 EA", "r0200=58 r0201=EA r0201=EA r0202=00 r0202=00 r0202=00" + irq_entry, "",
       3},
      {"p=20 i=0 @0200 78",
       "r0200=78 r0201=00 r0201=00 r0201=00 w01FD=02 w01FC=01 w01FB=24 rFFFE=00 rFFFF=A0", "", 2},
      // RTI's I counts at once.
      {"i=0 s=FA @0200 40 @01FB 20 00 03",
       "r0200=40 r0201=00 r01FA=00 r01FB=20 r01FC=00 r01FD=03 r0300=00 r0300=00 w01FD=03 "
       "w01FC=00 w01FB=20 rFFFE=00 rFFFF=A0",
       "", 2},
      // An IRQ seen before the last cycle of a 3-cycle read is taken after it, but not after a
      // taken branch that stays in its page: the next instruction runs first.
      {"p=20 i=2 @0200 04 10", "r0200=04 r0201=10 r0010=00 r0202=00 r0202=00" + irq_entry, "", 2},
      {"p=20 i=2 @0200 D0 00 EA", "r0200=D0 r0201=00 r0202=EA r0202=EA r0203=00", "", 2},
      // An NMI by BRK's fourth cycle takes it over; a later one waits for the handler's first
      // instruction.
      {"p=20 n=4 @0200 00", "r0200=00 r0201=00 w01FD=02 w01FC=02 w01FB=30 rFFFA=00 rFFFB=90", ""},
      {"p=20 n=5 @0200 00 @A000 EA",
       "r0200=00 r0201=00 w01FD=02 w01FC=02 w01FB=30 rFFFE=00 rFFFF=A0 rA000=EA rA001=00 "
       "rA001=00 rA001=00 w01FA=A0 w01F9=01 w01F8=24 rFFFA=00 rFFFB=90",
       "", 3},
  };
  for (const Case& c : cases) check(c);
}

}  // namespace

// Hand-computed cases for the rules that set this machine apart or that the randomised reference
// comparison meets too rarely: zero-page pointers at $FF, wraps at $FFFF, no page-crossing costs,
// binary-only arithmetic, branch costs, JMP ($xxFF), the stack and status-bit rules and when a
// pending IRQ is taken. Each case checks the registers, the whole memory and the exact cost.
#include <sstream>

#include "cpu/cpu_fixture.h"

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
    // A pointer at $FF takes its high byte from $0100, indexed addresses wrap at $FFFF, and
    // crossing a page costs nothing.
    {"A1 FF", "00FF=34 0100=12 0000=56 1234=99 5634=11", "A=99 P=A0", 6},
    {"B1 FF", "Y=01 00FF=FF 0100=12 0000=34 1300=77 3500=11", "A=77", 5},
    {"B1 10", "Y=10 0010=F8,FF 0008=44", "A=44", 5},
    {"BD FF FF", "X=02 0001=33", "A=33", 4},
    {"BD FF 80", "X=01 8100=40", "A=40", 4},
    // ADC and SBC sum in binary whatever D says.
    {"69 05", "A=09 P=29", "A=0F P=28", 2},
    {"E9 05", "A=05 P=29", "A=00 P=2B", 2},
    // Branches cost 3, taken or not, across a page or not.
    {"10 05", "P=A0", "", 3},
    {"D0 20", "PC=02F0", "PC=0312", 3},
    // JMP ($10FF) takes its high byte from $1100; the stack wraps in page one.
    {"6C FF 10", "10FF=34 1100=12 1000=56", "PC=1234", 5},
    {"20 34 12", "S=00", "PC=1234 S=FE 0100=02 01FF=02", 6},
    {"60", "S=FE 01FF=33 0100=12", "PC=1234 S=00", 6},
    {"48", "A=42 S=00", "S=FF 0100=42", 3},
    // PHP pushes P as it is and PLP takes it whole; RTI sets bit 5; BRK pushes B and I set.
    {"08", "P=22", "S=FC 01FD=22", 3},
    {"08", "P=DB", "S=FC 01FD=DB", 3},
    {"28", "S=FF 0100=FF", "P=FF S=00", 4},
    {"40", "S=FA 01FB=00,34,12", "P=20 PC=1234 S=FD", 6},
    {"00", "FFFE=00,80", "PC=8000 S=FA P=34 01FB=34,02,02", 7},
    // A pending IRQ is taken at once after CLI and after an RTI that clears I, never after PLP.
    {"58", "P=34 IRQ=1 FFFE=00,80", "P=24 IRQ=0 PC=8000 S=FA 01FB=30,01,02", 2},
    {"40", "S=FA P=24 IRQ=1 01FB=C3,34,12 FFFE=00,80", "P=E7 PC=8000 IRQ=0 01FB=E3", 6},
    {"40", "S=FA IRQ=1 01FB=04,34,12", "P=24 PC=1234 S=FD", 6},
    {"28", "S=FC 01FD=00 P=24 IRQ=1", "P=00 S=FD", 4},
};

unsigned hex(const std::string& text) { return unsigned(std::stoul(text, nullptr, 16)); }

// Applies a state description to the registers and memory.
void apply(const std::string& text, CpuContext& r, std::vector<uint8_t>& memory) {
  std::istringstream in(text);
  for (std::string token; in >> token;) {
    const std::string name = token.substr(0, token.find('='));
    const std::string value = token.substr(name.size() + 1);
    if (name.size() == 4) {
      uint16_t at = uint16_t(hex(name));
      std::istringstream bytes(value);
      for (std::string b; std::getline(bytes, b, ',');) memory[at++] = uint8_t(hex(b));
    } else if (name == "PC") {
      r.pc = uint16_t(hex(value));
    } else {
      uint8_t* reg = name == "A"   ? &r.a
                     : name == "X" ? &r.x
                     : name == "Y" ? &r.y
                     : name == "S" ? &r.s
                     : name == "P" ? &r.p
                                   : &r.irq_pending;
      *reg = uint8_t(hex(value));
    }
  }
}

std::string memory_differences(const std::vector<uint8_t>& got, const std::vector<uint8_t>& want) {
  std::ostringstream out;
  for (size_t i = 0; i < got.size(); ++i) {
    if (got[i] != want[i]) out << std::hex << " " << i << "=" << int(got[i]) << "/" << int(want[i]);
  }
  return out.str();
}

class CpuOpcodeTest : public CpuFixture {};

// A budget one cycle short runs nothing; the exact cost runs the instruction.
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

}  // namespace

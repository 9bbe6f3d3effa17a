// Differential check: thousands of random single instructions and interrupt entries on random
// flat memory, compared with a plain reference model written straight from the instruction rules
// (status kept as one byte). The model takes mnemonic, mode and cost from the opcode list, whose
// rows hw_cpu_test checks against the published opcode map.
#include <algorithm>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "cpu/cpu_fixture.h"
#include "cpu/opcodes.h"

namespace {

constexpr uint32_t id(std::string_view mnemonic) {
  return uint32_t(mnemonic[0]) << 16 | uint32_t(mnemonic[1]) << 8 | uint32_t(mnemonic[2]);
}

// Mnemonic and mode from the opcode table, which hw_cpu_test checks row by row against the
// published map; the model's instruction rules below are its own.
std::pair<std::string_view, AddrMode> decode(uint8_t op) {
  return {kOpcodes[op].mnemonic, kOpcodes[op].mode};
}

struct Model : CpuContext {
  uint32_t cycles;
  std::vector<uint8_t> m;

  uint16_t word(uint16_t at) const { return uint16_t(m[at] | m[uint16_t(at + 1)] << 8); }
  void set(uint8_t flag, bool on) { p = uint8_t(on ? p | flag : p & ~flag); }
  uint8_t nz(uint8_t v) {
    set(kFlagN, v & 0x80);
    set(kFlagZ, v == 0);
    return v;
  }
  void push(uint8_t v) { m[0x100 + s--] = v; }
  uint8_t pull() { return m[0x100 + ++s]; }
  uint16_t pull_word() {
    const uint8_t low = pull();
    return uint16_t(low | pull() << 8);
  }
  // NMI and IRQ push PC and P as it is, then clear B and set I and bit 5.
  void interrupt(uint16_t vector) {
    push(uint8_t(pc >> 8)), push(uint8_t(pc)), push(p);
    p = uint8_t((p & ~kFlagB) | kFlagI | kFlag5);
    pc = word(vector);
  }
  void take_irq() { interrupt(0xFFFE), irq_pending = 0; }
  // cpu_irq: taken at once with I clear, else left pending.
  uint32_t irq() { return p & kFlagI ? irq_pending = 1 : (take_irq(), 0); }
  void reset() { a = x = y = irq_pending = 0, s = 0xFF, p = kFlag5 | kFlagZ, pc = word(0xFFFC); }
  void add(uint8_t v) {
    const int sum = a + v + (p & kFlagC);
    set(kFlagV, (~(a ^ v) & (a ^ sum)) & 0x80);
    set(kFlagC, sum > 0xFF);
    a = nz(uint8_t(sum));
  }
  void compare(uint8_t reg, uint8_t v) {
    set(kFlagC, reg >= v);
    nz(uint8_t(reg - v));
  }

  void step() {
    using enum AddrMode;
    const uint16_t at = pc;
    const auto [mn, mode] = decode(m[at]);
    const uint8_t b1 = m[uint16_t(at + 1)];
    const uint16_t operand = word(uint16_t(at + 1));
    uint16_t ea = 0, next = uint16_t(at + 1);
    switch (mode) {
      case Immediate: next = uint16_t(at + 2); break;
      case ZeroPage: ea = b1, next = uint16_t(at + 2); break;
      case ZeroPageX: ea = uint8_t(b1 + x), next = uint16_t(at + 2); break;
      case ZeroPageY: ea = uint8_t(b1 + y), next = uint16_t(at + 2); break;
      case IndirectX: ea = word(uint8_t(b1 + x)), next = uint16_t(at + 2); break;
      case IndirectY: ea = uint16_t(word(b1) + y), next = uint16_t(at + 2); break;
      case Relative: next = uint16_t(at + 2), ea = uint16_t(next + int8_t(b1)); break;
      case Absolute: ea = operand, next = uint16_t(at + 3); break;
      case AbsoluteX: ea = uint16_t(operand + x), next = uint16_t(at + 3); break;
      case AbsoluteY: ea = uint16_t(operand + y), next = uint16_t(at + 3); break;
      case Indirect: ea = word(operand), next = uint16_t(at + 3); break;
      default: break;
    }
    pc = next;
    cycles = kOpcodes[m[at]].cycles;  // the row hw_cpu_test checks against the published map
    const uint8_t v = mode == Immediate ? b1 : m[ea];
    uint8_t& target = mode == Accumulator ? a : m[ea];
    auto branch = [&](uint8_t flag, bool when_set) {
      if (bool(p & flag) == when_set) pc = ea;
    };
    const bool c = p & kFlagC;
    switch (id(mn)) {
      case id("LDA"): a = nz(v); break;
      case id("LDX"): x = nz(v); break;
      case id("LDY"): y = nz(v); break;
      case id("STA"): m[ea] = a; break;
      case id("STX"): m[ea] = x; break;
      case id("STY"): m[ea] = y; break;
      case id("TAX"): x = nz(a); break;
      case id("TAY"): y = nz(a); break;
      case id("TXA"): a = nz(x); break;
      case id("TYA"): a = nz(y); break;
      case id("TSX"): x = nz(s); break;
      case id("TXS"): s = x; break;
      case id("ADC"): add(v); break;
      case id("SBC"): add(uint8_t(~v)); break;
      case id("AND"): a = nz(a & v); break;
      case id("ORA"): a = nz(a | v); break;
      case id("EOR"): a = nz(a ^ v); break;
      case id("CMP"): compare(a, v); break;
      case id("CPX"): compare(x, v); break;
      case id("CPY"): compare(y, v); break;
      case id("BIT"): set(kFlagZ, !(a & v)), set(kFlagN, v & 0x80), set(kFlagV, v & 0x40); break;
      case id("ASL"): set(kFlagC, target & 0x80), target = nz(uint8_t(target << 1)); break;
      case id("LSR"): set(kFlagC, target & 1), target = nz(target >> 1); break;
      case id("ROL"): set(kFlagC, target & 0x80), target = nz(uint8_t(target << 1 | c)); break;
      case id("ROR"): set(kFlagC, target & 1), target = nz(uint8_t(target >> 1 | c << 7)); break;
      case id("INC"): target = nz(uint8_t(target + 1)); break;
      case id("DEC"): target = nz(uint8_t(target - 1)); break;
      case id("INX"): x = nz(uint8_t(x + 1)); break;
      case id("INY"): y = nz(uint8_t(y + 1)); break;
      case id("DEX"): x = nz(uint8_t(x - 1)); break;
      case id("DEY"): y = nz(uint8_t(y - 1)); break;
      case id("CLC"): set(kFlagC, false); break;
      case id("SEC"): set(kFlagC, true); break;
      case id("CLV"): set(kFlagV, false); break;
      case id("CLD"): set(kFlagD, false); break;
      case id("SED"): set(kFlagD, true); break;
      case id("SEI"): set(kFlagI, true); break;
      case id("CLI"): set(kFlagI, false), irq_pending ? take_irq() : void(); break;
      case id("BPL"): branch(kFlagN, false); break;
      case id("BMI"): branch(kFlagN, true); break;
      case id("BVC"): branch(kFlagV, false); break;
      case id("BVS"): branch(kFlagV, true); break;
      case id("BCC"): branch(kFlagC, false); break;
      case id("BCS"): branch(kFlagC, true); break;
      case id("BNE"): branch(kFlagZ, false); break;
      case id("BEQ"): branch(kFlagZ, true); break;
      case id("JMP"): pc = ea; break;
      case id("JSR"): push(uint8_t((at + 2) >> 8)), push(uint8_t(at + 2)), pc = ea; break;
      case id("RTS"): pc = uint16_t(pull_word() + 1); break;
      case id("RTI"):
        p = pull() | kFlag5, pc = pull_word();
        if (!(p & kFlagI) && irq_pending) take_irq();
        break;
      case id("BRK"):
        p |= kFlagB | kFlagI;
        push(uint8_t((at + 2) >> 8)), push(uint8_t(at + 2)), push(p), pc = word(0xFFFE);
        break;
      case id("PHA"): push(a); break;
      case id("PHP"): push(p); break;
      case id("PLA"): a = nz(pull()); break;
      case id("PLP"): p = pull(); break;
    }
  }
};

class CpuReferenceTest : public CpuFixture {};

// Random single instructions, NMIs, IRQs and resets against the model. Edge values come now and
// then: operand bytes of $FF (a pointer at $FF, JMP ($xxFF), indexing past $FFFF), an X that
// brings a (zp,X) pointer to $FF, S at either end of page one and PC near $FFFF. A budget one
// cycle short of the cost runs nothing, and a pending IRQ waits for CLI or RTI.
TEST_F(CpuReferenceTest, RandomInstructionsAndInterruptsMatchThePlainModel) {
  std::mt19937 rng(6502);
  auto byte = [&] { return uint8_t(rng()); };
  std::vector<uint8_t> documented;
  for (int op = 0; op < 256; ++op)
    if (!decode(uint8_t(op)).first.empty()) documented.push_back(uint8_t(op));
  for (uint8_t& b : memory) b = byte();
  Model model{};
  model.m = memory;
  std::set<uint8_t> ran;
  int failures = 0;

  for (int i = 0; i < 20000 && failures < 5; ++i) {
    // Fresh registers, zero page, stack page and instruction.
    const uint16_t pc = uint16_t(i % 8 == 0 ? 0xFFFD + rng() % 3 : rng());
    for (int at = 0; at < 0x200; ++at) memory[at] = byte();
    memory[pc] = documented[rng() % documented.size()];
    memory[uint16_t(pc + 1)] = i % 4 == 1 ? 0xFF : byte();
    memory[uint16_t(pc + 2)] = i % 4 == 2 ? 0xFF : byte();
    std::memcpy(model.m.data(), memory.data(), 0x200);
    for (int k = 0; k < 3; ++k) model.m[uint16_t(pc + k)] = memory[uint16_t(pc + k)];
    model.a = byte(), model.x = byte(), model.y = byte(), model.s = byte(), model.p = byte();
    if (i % 16 == 3) model.x = uint8_t(0xFF - memory[uint16_t(pc + 1)]);
    if (i % 8 == 5) model.s = uint8_t(0xFF + rng() % 3);
    model.irq_pending = rng() & 1, model.pc = pc;
    CpuContext start = model;
    start.memory = memory.data();
    cpu_set_context(&start);
    // Now and then an NMI, an IRQ or a reset comes instead of the instruction.
    const int call = i % 29;
    const char* const kCalls[] = {"NMI ", "IRQ ", "reset ", ""};
    char code[40];
    std::snprintf(code, sizeof code, "%s%02X %02X %02X at %04X", kCalls[std::min(call, 3)],
                  memory[pc], memory[uint16_t(pc + 1)], memory[uint16_t(pc + 2)], pc);
    SCOPED_TRACE(code);

    bool ran_short = false;
    uint32_t result, want;
    if (call < 3) {
      result = call == 0 ? cpu_nmi() : call == 1 ? cpu_irq() : (cpu_reset(), 0);
      want = call == 0   ? (model.interrupt(0xFFFA), 0)
             : call == 1 ? model.irq()
                         : (model.reset(), 0);
      model.cycles = 0;
    } else {
      ran.insert(memory[pc]);
      model.step();
      ran_short = cpu_execute(model.cycles - 1) != kCpuBudgetSpent || cpu_get_cycles(1) != 0 ||
                  registers(live()) != registers(start);
      result = cpu_execute(model.cycles);
      // The next opcode is looked at before the budget: an unsupported one is reported.
      want = decode(model.m[model.pc]).first.empty() ? model.pc : kCpuBudgetSpent;
    }
    const std::string core = std::string(ran_short ? "ran short, " : "") + registers(live()) +
                             " cycles=" + std::to_string(cpu_get_cycles(1)) +
                             " result=" + std::to_string(result);
    const std::string plain = registers(model) + " cycles=" + std::to_string(model.cycles) +
                              " result=" + std::to_string(want);
    if (core == plain && memory == model.m) continue;
    ++failures;
    ADD_FAILURE() << "core " << core << "; model " << plain << "; memory "
                  << (memory == model.m ? "same" : "differs");
    model.m = memory;
  }
  EXPECT_EQ(ran.size(), documented.size()) << "not every documented opcode ran";
}

}  // namespace

// The cycle-stepped 6502 of the hardware profile: every CPU cycle is exactly one bus access, at
// the address the console's CPU puts on its bus, dummy reads and the unmodified write of a
// read-modify-write included. All 256 opcodes run; D is stored but has no effect (the NES's CPU
// has no decimal mode).
//
// The bus is the caller's class:
//   uint8_t read(uint16_t address);           // one CPU cycle that reads
//   void write(uint16_t address, uint8_t v);  // one CPU cycle that writes
//   bool nmi_line();  // NMI after that cycle, true = asserted; the CPU detects its rising edge
//   bool irq_line();  // IRQ after that cycle, true = asserted
// During a bus call, `cycles` counts the cycles before the current one.
//
// Interrupts are polled before the last cycle of each instruction, on the lines as they stood
// after the cycle before it; an instruction that changes I in its last cycle (CLI, SEI, PLP)
// therefore affects IRQ one instruction late, while RTI's I counts at once. Branches poll before
// their operand fetch, and a taken branch polls again before its page fix-up, only when it has
// one. BRK and the interrupt entries do not poll: the handler's first instruction always runs.
#pragma once

#include <cstdint>

#include "cpu/cpu.h"
#include "cpu/cpu_alu.h"
#include "cpu/hw_opcodes.h"

template <class Bus>
struct HwCpu : CpuAlu {
  explicit HwCpu(Bus& b) : CpuAlu(), bus(b) {}

  Bus& bus;
  uint16_t pc = 0;
  uint64_t cycles = 0;       // cycles run so far
  bool jammed = false;       // a JAM opcode halted the CPU; only reset() restarts it
  bool nmi_pending = false;  // the NMI edge detector's latch, cleared when an entry takes it
  bool nmi_level = false;    // the NMI line after the last cycle
  bool irq_level = false;    // the IRQ line after the last cycle
  bool want_nmi = false;     // the last poll: the next step is an interrupt entry
  bool want_irq = false;

  // Registers from and to the exchange record. P is kept with bit 5 set and B clear; B only
  // exists in pushed copies.
  void load(const CpuContext& r) {
    a = r.a, x = r.x, y = r.y, s = r.s, pc = r.pc;
    set_p(r.p);
  }
  void store(CpuContext& r) const {
    r.a = a, r.x = x, r.y = y, r.s = s, r.pc = pc;
    r.p = pack_p();
  }

  // The reset sequence: seven cycles, the three pushes of an interrupt entry turned into stack
  // reads (S still falls by 3), then the vector at $FFFC. Sets I and leaves A, X, Y alone.
  void reset() {
    jammed = nmi_pending = want_nmi = want_irq = false;
    read(pc);
    read(pc);
    for (int i = 0; i < 3; ++i) read(stack(s--));
    p_rest |= kFlagI;
    pc = read_vector(0xFFFC);
  }

  // Runs one instruction, or one interrupt entry when the last poll asked for one. Returns
  // kCpuBudgetSpent, or the address of the JAM opcode that halted the CPU (PC stays on it; each
  // further step is one more read cycle, so time still passes for the rest of the machine).
  uint32_t step() {
    if (jammed) {
      read(0xFFFF);
      return pc;
    }
    if (want_nmi || want_irq) {
      read(pc);
      read(pc);
      enter(0);
      return kCpuBudgetSpent;
    }
    switch (read(pc++)) {
#define OPCODE(op, mnemonic, mode, cycles) \
  case op:                                 \
    mnemonic<AddrMode::mode>();            \
    break;
#define UNOFFICIAL(op, mnemonic, mode, cycles) \
  case op:                                     \
    mnemonic<AddrMode::mode>();                \
    break;
#include "cpu/opcode_list.inc"
#undef OPCODE
#undef UNOFFICIAL
    }
    return jammed ? pc : kCpuBudgetSpent;
  }

 private:
  // ANE and LXA OR A with a chip-dependent constant before the AND; $EE is the value usually
  // documented for the NES's CPU, used for both.
  static constexpr uint8_t kUnstableMagic = 0xEE;

  // --- Cycles ---

  uint8_t read(uint16_t at) {
    const uint8_t v = bus.read(at);
    end_cycle();
    return v;
  }
  void write(uint16_t at, uint8_t v) {
    bus.write(at, v);
    end_cycle();
  }
  void end_cycle() {
    ++cycles;
    const bool nmi = bus.nmi_line();
    nmi_pending |= nmi && !nmi_level;
    nmi_level = nmi;
    irq_level = bus.irq_line();
  }
  void poll() {
    want_nmi = nmi_pending;
    want_irq = irq_level && !(p_rest & kFlagI);
  }

  void set_p(uint8_t v) {
    unpack_p(v);
    p_rest = uint8_t((p_rest & (kFlagI | kFlagD)) | kFlag5);
  }

  static uint16_t stack(uint8_t at) { return uint16_t(0x100 | at); }
  uint16_t read_vector(uint16_t at) {
    const uint8_t low = read(at);
    return uint16_t(low | read(uint16_t(at + 1)) << 8);
  }
  uint16_t fetch16() {
    const uint8_t low = read(pc++);
    return uint16_t(low | read(pc++) << 8);
  }
  // A pointer in page zero: its second byte wraps within the page.
  uint16_t zp_pointer(uint8_t at) {
    const uint8_t low = read(at);
    return uint16_t(low | read(uint8_t(at + 1)) << 8);
  }

  // --- Addressing modes: the cycles before the data access, returning its address ---

  // The first access of an indexed address goes to the base's page at the indexed low byte. A
  // read that did not carry is the real one; otherwise that access is a dummy read of its own.
  template <HwAccess K>
  uint16_t indexed(uint16_t base, uint8_t index) {
    const uint16_t at = uint16_t(base + index);
    const uint16_t uncarried = uint16_t((base & 0xFF00) | (at & 0xFF));
    if (K != HwAccess::Read || at != uncarried) read(uncarried);
    return at;
  }

  template <AddrMode M, HwAccess K>
  uint16_t address() {
    using enum AddrMode;
    if constexpr (M == ZeroPage) {
      return read(pc++);
    } else if constexpr (M == ZeroPageX || M == ZeroPageY) {
      const uint8_t base = read(pc++);
      read(base);
      return uint8_t(base + (M == ZeroPageX ? x : y));
    } else if constexpr (M == Absolute) {
      return fetch16();
    } else if constexpr (M == AbsoluteX || M == AbsoluteY) {
      return indexed<K>(fetch16(), M == AbsoluteX ? x : y);
    } else if constexpr (M == IndirectX) {
      const uint8_t base = read(pc++);
      read(base);
      return zp_pointer(uint8_t(base + x));
    } else if constexpr (M == IndirectY) {
      return indexed<K>(zp_pointer(read(pc++)), y);
    } else {
      static_assert(M != M, "this mode forms no address");
    }
  }

  // --- Access kinds ---

  template <AddrMode M>
  uint8_t operand() {
    if constexpr (M == AddrMode::Immediate) {
      poll();
      return read(pc++);
    } else {
      const uint16_t at = address<M, HwAccess::Read>();
      poll();
      return read(at);
    }
  }

  template <AddrMode M>
  void store(uint8_t v) {
    const uint16_t at = address<M, HwAccess::Write>();
    poll();
    write(at, v);
  }

  // On A, or memory: read, the old value written back, then the result.
  template <AddrMode M, class F>
  void modify(F f) {
    if constexpr (M == AddrMode::Accumulator) {
      idle();
      a = f(a);
    } else {
      const uint16_t at = address<M, HwAccess::Modify>();
      const uint8_t v = read(at);
      write(at, v);
      poll();
      write(at, f(v));
    }
  }

  // SHA, SHX, SHY, TAS: store v & (high byte of the base + 1). When the index carries, that
  // value also replaces the high byte of the address.
  template <AddrMode M>
  void store_and_high(uint8_t v) {
    const uint16_t base = M == AddrMode::IndirectY ? zp_pointer(read(pc++)) : fetch16();
    const uint16_t at = indexed<HwAccess::Write>(base, M == AddrMode::AbsoluteX ? x : y);
    v &= uint8_t((base >> 8) + 1);
    poll();
    write((at ^ base) & 0xFF00 ? uint16_t(v << 8 | (at & 0xFF)) : at, v);
  }

  // The second cycle of a one-byte instruction reads the next byte and leaves PC on it.
  void idle() {
    poll();
    read(pc);
  }

  void branch(bool taken) {
    poll();
    const int8_t offset = int8_t(read(pc++));
    if (!taken) return;
    read(pc);
    const uint16_t target = uint16_t(pc + offset);
    if ((target ^ pc) & 0xFF00) {
      poll();
      read(uint16_t((pc & 0xFF00) | (target & 0xFF)));
    }
    pc = target;
  }

  // BRK and the interrupt entries after their first two cycles: push PC and P (bit 5 set, B as
  // given), set I, read the vector. An NMI detected by the end of the second push takes the entry
  // over: what was pushed stays, the NMI vector is read.
  void enter(uint8_t b_flag) {
    write(stack(s--), uint8_t(pc >> 8));
    write(stack(s--), uint8_t(pc));
    const bool nmi = nmi_pending;
    nmi_pending = false;
    write(stack(s--), uint8_t(pack_p() | b_flag));
    p_rest |= kFlagI;
    pc = read_vector(nmi ? 0xFFFA : 0xFFFE);
    want_nmi = want_irq = false;
  }

  // --- Instructions, one per mnemonic; step() instantiates them with each opcode's mode ---

#define HW_INSTRUCTION(name) \
  template <AddrMode M>      \
  void name()

  HW_INSTRUCTION(LDA) { set_nz(a = operand<M>()); }
  HW_INSTRUCTION(LDX) { set_nz(x = operand<M>()); }
  HW_INSTRUCTION(LDY) { set_nz(y = operand<M>()); }
  HW_INSTRUCTION(STA) { store<M>(a); }
  HW_INSTRUCTION(STX) { store<M>(x); }
  HW_INSTRUCTION(STY) { store<M>(y); }
  HW_INSTRUCTION(TAX) { idle(), set_nz(x = a); }
  HW_INSTRUCTION(TAY) { idle(), set_nz(y = a); }
  HW_INSTRUCTION(TXA) { idle(), set_nz(a = x); }
  HW_INSTRUCTION(TYA) { idle(), set_nz(a = y); }
  HW_INSTRUCTION(TSX) { idle(), set_nz(x = s); }
  HW_INSTRUCTION(TXS) { idle(), s = x; }

  HW_INSTRUCTION(ADC) { adc(operand<M>()); }
  HW_INSTRUCTION(SBC) { sbc(operand<M>()); }
  HW_INSTRUCTION(AND) { set_nz(a &= operand<M>()); }
  HW_INSTRUCTION(ORA) { set_nz(a |= operand<M>()); }
  HW_INSTRUCTION(EOR) { set_nz(a ^= operand<M>()); }
  HW_INSTRUCTION(CMP) { compare(a, operand<M>()); }
  HW_INSTRUCTION(CPX) { compare(x, operand<M>()); }
  HW_INSTRUCTION(CPY) { compare(y, operand<M>()); }
  HW_INSTRUCTION(BIT) { bit(operand<M>()); }

  HW_INSTRUCTION(ASL) {
    modify<M>([this](uint8_t v) { return asl(v); });
  }
  HW_INSTRUCTION(LSR) {
    modify<M>([this](uint8_t v) { return lsr(v); });
  }
  HW_INSTRUCTION(ROL) {
    modify<M>([this](uint8_t v) { return rol(v); });
  }
  HW_INSTRUCTION(ROR) {
    modify<M>([this](uint8_t v) { return ror(v); });
  }
  HW_INSTRUCTION(INC) {
    modify<M>([this](uint8_t v) { return inc(v); });
  }
  HW_INSTRUCTION(DEC) {
    modify<M>([this](uint8_t v) { return dec(v); });
  }
  HW_INSTRUCTION(INX) { idle(), x = inc(x); }
  HW_INSTRUCTION(INY) { idle(), y = inc(y); }
  HW_INSTRUCTION(DEX) { idle(), x = dec(x); }
  HW_INSTRUCTION(DEY) { idle(), y = dec(y); }

  HW_INSTRUCTION(CLC) { idle(), flag_c = 0; }
  HW_INSTRUCTION(SEC) { idle(), flag_c = 1; }
  HW_INSTRUCTION(CLV) { idle(), flag_v = 0; }
  HW_INSTRUCTION(CLD) { idle(), p_rest &= ~kFlagD; }
  HW_INSTRUCTION(SED) { idle(), p_rest |= kFlagD; }
  HW_INSTRUCTION(CLI) { idle(), p_rest &= ~kFlagI; }
  HW_INSTRUCTION(SEI) { idle(), p_rest |= kFlagI; }
  HW_INSTRUCTION(NOP) {
    if constexpr (M == AddrMode::Implied) {
      idle();
    } else {
      operand<M>();
    }
  }

  HW_INSTRUCTION(BPL) { branch(!(n_src & kFlagN)); }
  HW_INSTRUCTION(BMI) { branch(n_src & kFlagN); }
  HW_INSTRUCTION(BVC) { branch(!flag_v); }
  HW_INSTRUCTION(BVS) { branch(flag_v); }
  HW_INSTRUCTION(BCC) { branch(!flag_c); }
  HW_INSTRUCTION(BCS) { branch(flag_c); }
  HW_INSTRUCTION(BNE) { branch(z_src != 0); }
  HW_INSTRUCTION(BEQ) { branch(z_src == 0); }

  // JMP (abs): the pointer's second byte comes from the same page ($xxFF, then $xx00).
  HW_INSTRUCTION(JMP) {
    if constexpr (M == AddrMode::Indirect) {
      const uint16_t pointer = fetch16();
      const uint8_t low = read(pointer);
      poll();
      pc = uint16_t(low | read(uint16_t((pointer & 0xFF00) | uint8_t(pointer + 1))) << 8);
    } else {
      const uint8_t low = read(pc++);
      poll();
      pc = uint16_t(low | read(pc) << 8);
    }
  }
  // Pushes the address of its own last byte, read after the pushes.
  HW_INSTRUCTION(JSR) {
    const uint8_t low = read(pc++);
    read(stack(s));
    write(stack(s--), uint8_t(pc >> 8));
    write(stack(s--), uint8_t(pc));
    poll();
    pc = uint16_t(low | read(pc) << 8);
  }
  HW_INSTRUCTION(RTS) {
    read(pc);
    read(stack(s));
    const uint8_t low = read(stack(++s));
    pc = uint16_t(low | read(stack(++s)) << 8);
    poll();
    read(pc++);
  }
  HW_INSTRUCTION(RTI) {
    read(pc);
    read(stack(s));
    set_p(read(stack(++s)));
    const uint8_t low = read(stack(++s));
    poll();
    pc = uint16_t(low | read(stack(++s)) << 8);
  }
  // Skips a padding byte; pushes P with B set.
  HW_INSTRUCTION(BRK) {
    read(pc++);
    enter(kFlagB);
  }
  HW_INSTRUCTION(PHA) {
    read(pc);
    poll();
    write(stack(s--), a);
  }
  HW_INSTRUCTION(PHP) {
    read(pc);
    poll();
    write(stack(s--), uint8_t(pack_p() | kFlagB));
  }
  HW_INSTRUCTION(PLA) {
    read(pc);
    read(stack(s));
    poll();
    set_nz(a = read(stack(++s)));
  }
  HW_INSTRUCTION(PLP) {
    read(pc);
    read(stack(s));
    poll();
    set_p(read(stack(++s)));
  }

  // --- The undocumented opcodes ---

  HW_INSTRUCTION(LAX) { set_nz(a = x = operand<M>()); }
  HW_INSTRUCTION(SAX) { store<M>(a & x); }
  HW_INSTRUCTION(SLO) {
    modify<M>([this](uint8_t v) { return set_nz(a |= v = asl(v)), v; });
  }
  HW_INSTRUCTION(RLA) {
    modify<M>([this](uint8_t v) { return set_nz(a &= v = rol(v)), v; });
  }
  HW_INSTRUCTION(SRE) {
    modify<M>([this](uint8_t v) { return set_nz(a ^= v = lsr(v)), v; });
  }
  HW_INSTRUCTION(RRA) {
    modify<M>([this](uint8_t v) { return adc(v = ror(v)), v; });
  }
  HW_INSTRUCTION(DCP) {
    modify<M>([this](uint8_t v) { return compare(a, v = dec(v)), v; });
  }
  HW_INSTRUCTION(ISC) {
    modify<M>([this](uint8_t v) { return sbc(v = inc(v)), v; });
  }
  HW_INSTRUCTION(ANC) {
    set_nz(a &= operand<M>());
    flag_c = a >> 7;
  }
  HW_INSTRUCTION(ALR) { a = lsr(a & operand<M>()); }
  // AND, then ROR A; C is bit 6 of the result, V bit 6 XOR bit 5.
  HW_INSTRUCTION(ARR) {
    const uint8_t v = a & operand<M>();
    set_nz(a = uint8_t(v >> 1 | flag_c << 7));
    flag_c = (a >> 6) & 1;
    flag_v = ((a >> 6) ^ (a >> 5)) & 1;
  }
  // X = (A & X) - operand, with CMP's carry; V untouched.
  HW_INSTRUCTION(AXS) {
    const uint8_t v = operand<M>();
    const uint8_t ax = a & x;
    flag_c = ax >= v;
    set_nz(x = uint8_t(ax - v));
  }
  HW_INSTRUCTION(ANE) { set_nz(a = uint8_t((a | kUnstableMagic) & x & operand<M>())); }
  HW_INSTRUCTION(LXA) { set_nz(a = x = uint8_t((a | kUnstableMagic) & operand<M>())); }
  HW_INSTRUCTION(LAS) { set_nz(a = x = s = uint8_t(operand<M>() & s)); }
  HW_INSTRUCTION(SHA) { store_and_high<M>(a & x); }
  HW_INSTRUCTION(SHX) { store_and_high<M>(x); }
  HW_INSTRUCTION(SHY) { store_and_high<M>(y); }
  HW_INSTRUCTION(TAS) { store_and_high<M>(s = a & x); }
  // Halts: the byte after the opcode is read, then nothing more happens until reset.
  HW_INSTRUCTION(JAM) {
    read(pc--);
    jammed = true;
  }

#undef HW_INSTRUCTION
};

// The 56 instructions, one per mnemonic, each an addressing-mode helper composed with an
// instruction kind of CpuRun. The opcode list instantiates them with its mode: ins::LDA<M>.
#pragma once

#include "cpu/cpu_run.h"

namespace ins {

using M = AddrMode;
#define INSTRUCTION(name)  \
  template <AddrMode mode> \
  CPU_INLINE void name(CpuRun& r)

// Loads, stores, transfers.
INSTRUCTION(LDA) {
  r.set_nz(r.a = r.operand<mode>());
  r.after_alike_read<mode>();
}
INSTRUCTION(LDX) {
  r.set_nz(r.x = r.operand<mode>());
  r.after_alike_read<mode>();
}
INSTRUCTION(LDY) {
  r.set_nz(r.y = r.operand<mode>());
  r.after_alike_read<mode>();
}
INSTRUCTION(STA) { r.write(r.address<mode>(), r.a); }
INSTRUCTION(STX) { r.write(r.address<mode>(), r.x); }
INSTRUCTION(STY) { r.write(r.address<mode>(), r.y); }
INSTRUCTION(TAX) { r.set_nz(r.x = r.a); }
INSTRUCTION(TAY) { r.set_nz(r.y = r.a); }
INSTRUCTION(TXA) { r.set_nz(r.a = r.x); }
INSTRUCTION(TYA) { r.set_nz(r.a = r.y); }
INSTRUCTION(TSX) { r.set_nz(r.x = r.s); }
INSTRUCTION(TXS) { r.s = r.x; }

// Arithmetic and logic.
INSTRUCTION(ADC) { r.adc(r.operand<mode>()); }
INSTRUCTION(SBC) { r.sbc(r.operand<mode>()); }
INSTRUCTION(AND) {
  r.set_nz(r.a &= r.operand<mode>());
  r.after_alike_read<mode>();
}
INSTRUCTION(ORA) {
  r.set_nz(r.a |= r.operand<mode>());
  r.after_alike_read<mode>();
}
INSTRUCTION(EOR) { r.set_nz(r.a ^= r.operand<mode>()); }
INSTRUCTION(CMP) {
  r.compare(r.a, r.operand<mode>());
  r.after_alike_read<mode>();
}
INSTRUCTION(CPX) {
  r.compare(r.x, r.operand<mode>());
  r.after_alike_read<mode>();
}
INSTRUCTION(CPY) {
  r.compare(r.y, r.operand<mode>());
  r.after_alike_read<mode>();
}
INSTRUCTION(BIT) {
  r.bit(r.operand<mode>());
  r.after_alike_read<mode>();
}

// Shifts, rotates, increments: on A or read-modify-write on memory.
INSTRUCTION(ASL) { r.modify<mode, &CpuRun::asl>(); }
INSTRUCTION(LSR) { r.modify<mode, &CpuRun::lsr>(); }
INSTRUCTION(ROL) { r.modify<mode, &CpuRun::rol>(); }
INSTRUCTION(ROR) { r.modify<mode, &CpuRun::ror>(); }
INSTRUCTION(INC) { r.modify<mode, &CpuRun::inc>(); }
INSTRUCTION(DEC) { r.modify<mode, &CpuRun::dec>(); }
INSTRUCTION(INX) { r.x = r.inc(r.x); }
INSTRUCTION(INY) { r.y = r.inc(r.y); }
INSTRUCTION(DEX) { r.x = r.dec(r.x); }
INSTRUCTION(DEY) { r.y = r.dec(r.y); }

// Flags. D is only stored; CLI takes a pending IRQ at once.
INSTRUCTION(CLC) { r.flag_c = 0; }
INSTRUCTION(SEC) { r.flag_c = 1; }
INSTRUCTION(CLV) { r.flag_v = 0; }
INSTRUCTION(CLD) { r.p_rest &= ~kFlagD; }
INSTRUCTION(SED) { r.p_rest |= kFlagD; }
INSTRUCTION(SEI) { r.p_rest |= kFlagI; }
INSTRUCTION(CLI) {
  r.p_rest &= ~kFlagI;
  r.take_pending_irq();
}
INSTRUCTION(NOP) { static_cast<void>(r); }

// Branches: the same cost taken or not.
INSTRUCTION(BPL) { r.branch(!(r.n_src & kFlagN)); }
INSTRUCTION(BMI) { r.branch(r.n_src & kFlagN); }
INSTRUCTION(BVC) { r.branch(!r.flag_v); }
INSTRUCTION(BVS) { r.branch(r.flag_v); }
INSTRUCTION(BCC) { r.branch(!r.flag_c); }
INSTRUCTION(BCS) { r.branch(r.flag_c); }
INSTRUCTION(BNE) { r.branch(r.z_src != 0); }
INSTRUCTION(BEQ) { r.branch(r.z_src == 0); }

// Jumps and the stack. PHP pushes P as stored; PLP keeps every bit as read and leaves a
// pending IRQ alone; RTI sets bit 5 and takes a pending IRQ when it clears I.
INSTRUCTION(JMP) {
  if constexpr (mode == M::Indirect) {
    r.jump(r.read_pointer(r.fetch16()));
  } else {
    const uint16_t target = r.fetch16();
    if (target == uint16_t(r.pc() - 3))
      r.repeat_loop(kOpcodes[r.fp[-3]].cycles);  // "here: JMP here"
    r.jump(target);
  }
}
INSTRUCTION(JSR) {
  const uint16_t target = r.fetch16();
  const uint16_t last_byte = uint16_t(r.pc() - 1);
  r.push(uint8_t(last_byte >> 8));
  r.push(uint8_t(last_byte));
  r.jump(target);
}
INSTRUCTION(RTS) {
  const uint8_t low = r.pull();
  r.jump(uint16_t((low | r.pull() << 8) + 1));
}
INSTRUCTION(RTI) {
  r.unpack_p(r.pull() | kFlag5);
  const uint8_t low = r.pull();
  r.jump(uint16_t(low | r.pull() << 8));
  if (!(r.p_rest & kFlagI)) r.take_pending_irq();
}
INSTRUCTION(BRK) {
  const uint16_t ret = uint16_t(r.pc() + 1);  // skips the padding byte
  r.p_rest |= kFlagB | kFlagI;
  r.push(uint8_t(ret >> 8));
  r.push(uint8_t(ret));
  r.push(r.pack_p());
  r.jump(r.vector(0xFFFE));
}
INSTRUCTION(PHA) { r.push(r.a); }
INSTRUCTION(PHP) { r.push(r.pack_p()); }
INSTRUCTION(PLA) { r.set_nz(r.a = r.pull()); }
INSTRUCTION(PLP) { r.unpack_p(r.pull()); }

#undef INSTRUCTION

}  // namespace ins

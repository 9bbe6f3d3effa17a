// cpu_execute: one routine per opcode, generated from the opcode list. Each routine charges its
// cost, runs its instruction and dispatches the next opcode itself through a computed goto, so
// there is no common decode step and every routine has its own indirect jump to predict.
// Compilers without computed goto (or a build defining VANTRELL_CPU_SWITCH_DISPATCH) get the
// same routines as the cases of one switch.
#include "cpu/cpu.h"
#include "cpu/instructions.h"

#if defined(__GNUC__) && !defined(VANTRELL_CPU_SWITCH_DISPATCH)
#define CPU_COMPUTED_GOTO 1
#endif

uint32_t cpu_execute(uint32_t budget) {
#ifdef CPU_COMPUTED_GOTO
  static const void* const kRoutines[256] = {
#define OPCODE(op, mnemonic, mode, cycles) &&op_##op,
#define UNOFFICIAL(op, mnemonic, mode, cycles) &&unsupported,
#include "cpu/opcode_list.inc"
#undef OPCODE
#undef UNOFFICIAL
  };
#define ROUTINE(op) op_##op
#define DISPATCH() goto* kRoutines[r.fetch8()]
#else
  uint8_t opcode;
#define ROUTINE(op) case op
#define DISPATCH()       \
  do {                   \
    opcode = r.fetch8(); \
    goto decode;         \
  } while (0)
#endif
#define NEXT()                            \
  do {                                    \
    if (r.near_buffer_end()) [[unlikely]] \
      goto fetch_via_scratch;             \
    DISPATCH();                           \
  } while (0)

  // The budget test comes before the instruction: one that does not fit is not run.
  CpuRun r;
  r.begin(budget);
  NEXT();

#ifndef CPU_COMPUTED_GOTO
decode:
  switch (opcode) {
#endif

#define OPCODE(op, mnemonic, mode, cycles)                                   \
  ROUTINE(op) : if ((r.left -= cycles) < 0) [[unlikely]] goto out_of_budget; \
  ins::mnemonic<AddrMode::mode>(r);                                          \
  NEXT();
#define UNOFFICIAL(op, mnemonic, mode, cycles)
#include "cpu/opcode_list.inc"
#undef OPCODE
#undef UNOFFICIAL

#ifndef CPU_COMPUTED_GOTO
    default: goto unsupported;
  }
#endif

fetch_via_scratch:
  r.fetch_through_scratch();
  DISPATCH();

unsupported : {
  const uint16_t at = uint16_t(r.pc() - 1);
  r.finish(at);
  return at;
}

out_of_budget:
  r.left += kOpcodes[r.fp[-1]].cycles;
  r.finish(uint16_t(r.pc() - 1));
  return kCpuBudgetSpent;

#undef ROUTINE
#undef DISPATCH
#undef NEXT
}

// The CPU while cpu_execute runs. Registers, working status, fetch position and budget live in
// one local CpuRun whose members the compiler keeps in host registers: every member function is
// forced inline and the object's address never escapes. The live record is touched only at
// entry, at exit, around handler calls and when an IRQ is taken inside an instruction.
//
// Fetch bound: the fetch position lies in flat memory, in the program region, or in another
// page buffer trusted for its own 8 KB; each re-base takes that buffer's end from the map. An
// opcode is fetched straight from the buffer only while 3 bytes remain before the end; otherwise
// the instruction's bytes are first copied into cpu_core.scratch (bytes past the end come from
// the address map at PC + i, as a fetch re-based there would see them), and the fetch position
// is formed again from PC before the next opcode. No fetch ever reads outside a host buffer.
#pragma once

#include <cstdint>

#include "cpu/cpu_alu.h"
#include "cpu/cpu_core.h"
#include "cpu/opcodes.h"

struct CpuRun : CpuAlu {
  const uint8_t* fp;      // next instruction byte
  uintptr_t origin;       // PC = (fp - origin) & $FFFF
  uintptr_t fetch_limit;  // fp beyond this: take the slow fetch
  unsigned slot;          // the slot origin and fetch_limit were taken from; kNoSlot in scratch
  uint8_t* memory;        // flat memory: stack, vectors, unhandled writes
  int64_t left;           // budget not yet charged
  int64_t left_flushed;   // left when cycles_total was last brought up to date

  // --- The live record ---

  CPU_INLINE void load() {
    const CpuContext& r = cpu_core.live;
    a = r.a, x = r.x, y = r.y, s = r.s;
    memory = r.memory;
    unpack_p(r.p);
  }

  CPU_INLINE void store(uint16_t pc) {
    CpuContext& r = cpu_core.live;
    r.a = a, r.x = x, r.y = y, r.s = s;
    r.p = pack_p();
    r.pc = pc;
  }

  // Only the thread that runs the CPU writes the cycle counter (see cpu_core.h), so a plain
  // load and store do: no locked read-modify-write on every handler call.
  CPU_INLINE void flush_cycles() {
    std::atomic<uint32_t>& total = cpu_core.cycles_total;
    total.store(total.load(std::memory_order_relaxed) + uint32_t(left_flushed - left),
                std::memory_order_relaxed);
    left_flushed = left;
  }

  CPU_INLINE void begin(uint32_t budget) {
    load();
    left = left_flushed = budget;
    cpu_core.cycles_left = budget;
    if (cpu_core.slots_stale) cpu_map_refresh();
    rebase(cpu_core.live.pc);
  }

  CPU_INLINE void finish(uint16_t pc) {
    store(pc);
    flush_cycles();
    cpu_core.cycles_left = uint32_t(left);
  }

  // --- Instruction fetch ---

  CPU_INLINE uint16_t pc() const { return uint16_t(uintptr_t(fp) - origin); }

  // Forms the fetch position from PC and the page table.
  CPU_INLINE void rebase(uint16_t pc) {
    slot = pc >> 13;
    origin = cpu_core.map.base[slot];
    fp = reinterpret_cast<const uint8_t*>(origin + pc);
    fetch_limit = cpu_core.map.fetch_limit[slot];
  }

  static constexpr unsigned kNoSlot = kCpuMappedSlots;

  CPU_INLINE bool near_buffer_end() const { return uintptr_t(fp) > fetch_limit; }

  CPU_INLINE uint8_t fetch8() { return *fp++; }

  CPU_INLINE uint16_t fetch16() {
    const uint16_t v = uint16_t(fp[0] | fp[1] << 8);
    fp += 2;
    return v;
  }

  // The byte that a fetch re-based at address would see.
  CPU_INLINE static uint8_t mapped_byte(uint16_t address) {
    return *reinterpret_cast<const uint8_t*>(cpu_core.map.base[address >> 13] + address);
  }

  // The slow fetch (see the top of this file). Coming back from the scratch buffer, the
  // position is formed again from PC first.
  CPU_INLINE void fetch_through_scratch() {
    uint8_t* scratch = cpu_core.scratch;
    if (uintptr_t(fp) - uintptr_t(scratch) <= sizeof cpu_core.scratch) {
      rebase(pc());
      if (!near_buffer_end()) return;
    }
    const uint16_t at = pc();
    const uintptr_t end = fetch_limit + 3;
    for (unsigned i = 0; i < sizeof cpu_core.scratch; ++i) {
      scratch[i] = uintptr_t(fp) + i < end ? fp[i] : mapped_byte(uint16_t(at + i));
    }
    fp = scratch;
    slot = kNoSlot;
    origin = uintptr_t(scratch) - at;
    fetch_limit = uintptr_t(scratch);  // any step forward leaves the scratch buffer
  }

  // --- Data roads ---

  // Handler-call protocol: the record gets the registers (PC = the next instruction) and the
  // cycle total includes the current instruction; afterwards A, X, Y, PC and memory come back
  // from the record, the map is brought up to date (the handler may have switched banks) and
  // the budget is reloaded, so that cpu_release takes effect.
  CPU_INLINE void before_handler() {
    CpuContext& r = cpu_core.live;
    r.a = a, r.x = x, r.y = y, r.s = s;
    r.pc = pc();
    flush_cycles();
    cpu_core.cycles_left = uint32_t(left);
  }

  CPU_INLINE void after_handler() {
    const CpuContext& r = cpu_core.live;
    a = r.a, x = r.x, y = r.y;
    memory = r.memory;
    left = left_flushed = cpu_core.cycles_left;
    if (cpu_core.slots_stale) cpu_map_refresh();
    rebase(r.pc);
  }

  // Read table first (first match wins), then the page of the slot, then flat memory.
  CPU_INLINE uint8_t read(uint16_t address) {
    const CpuMap& m = cpu_core.map;
    if (uint32_t(address - m.read_low) <= m.read_span) [[unlikely]] {
      MemHandler* e = m.read_page[address >> 8];
      if (e == kCpuWalkTable) e = cpu_find_handler(cpu_core.live.read_handlers, address);
      if (e) {
        before_handler();
        const uint8_t v = uint8_t(e->handler.read(address, e));
        after_handler();
        return v;
      }
    }
    return mapped_byte(address);
  }

  // Write table first, then flat memory; pages never see a write.
  CPU_INLINE void write(uint16_t address, uint8_t v) {
    const CpuMap& m = cpu_core.map;
    if (uint32_t(address - m.write_low) <= m.write_span) [[unlikely]] {
      MemHandler* e = m.write_page[address >> 8];
      if (e == kCpuWalkTable) e = cpu_find_handler(cpu_core.live.write_handlers, address);
      if (e) {
        before_handler();
        e->handler.write(address, v, e);
        after_handler();
        return;
      }
    }
    memory[address] = v;
  }

  // Stack and vectors go straight to flat memory.
  CPU_INLINE void push(uint8_t v) { memory[0x100 + s--] = v; }
  CPU_INLINE uint8_t pull() { return memory[0x100 + ++s]; }
  CPU_INLINE uint16_t vector(uint16_t at) const {
    return uint16_t(memory[at] | memory[at + 1] << 8);
  }

  // --- Addressing modes ---

  // Both pointer bytes through the data-read road; the second address is a 16-bit sum.
  CPU_INLINE uint16_t read_pointer(uint16_t at) {
    const uint8_t low = read(at);
    return uint16_t(low | read(uint16_t(at + 1)) << 8);
  }

  template <AddrMode M>
  CPU_INLINE uint16_t address() {
    if constexpr (M == AddrMode::ZeroPage)
      return fetch8();
    else if constexpr (M == AddrMode::ZeroPageX)
      return uint8_t(fetch8() + x);
    else if constexpr (M == AddrMode::ZeroPageY)
      return uint8_t(fetch8() + y);
    else if constexpr (M == AddrMode::Absolute)
      return fetch16();
    else if constexpr (M == AddrMode::AbsoluteX)
      return uint16_t(fetch16() + x);
    else if constexpr (M == AddrMode::AbsoluteY)
      return uint16_t(fetch16() + y);
    else if constexpr (M == AddrMode::IndirectX)
      return read_pointer(uint8_t(fetch8() + x));
    else if constexpr (M == AddrMode::IndirectY)
      return uint16_t(read_pointer(fetch8()) + y);
    else if constexpr (M == AddrMode::Indirect)
      return read_pointer(fetch16());
    else
      static_assert(M != M, "this mode forms no address");
  }

  template <AddrMode M>
  CPU_INLINE uint8_t operand() {
    if constexpr (M == AddrMode::Immediate)
      return fetch8();
    else
      return read(address<M>());
  }

  // Read-modify-write: on A, or memory read once and written once.
  template <AddrMode M, uint8_t (CpuAlu::*Kind)(uint8_t)>
  CPU_INLINE void modify() {
    if constexpr (M == AddrMode::Accumulator) {
      a = (this->*Kind)(a);
    } else {
      const uint16_t at = address<M>();
      const uint8_t v = read(at);
      write(at, (this->*Kind)(v));
    }
  }

  // --- Control flow ---

  // A target in the slot the fetch position was formed for needs no look-up: the map only
  // changes around handler calls, which form the position again anyway. The slot is that of the
  // last re-base, not of PC, so code that ran on past its page's end still re-bases.
  CPU_INLINE void jump(uint16_t target) {
    if ((target >> 13) == slot) {
      fp = reinterpret_cast<const uint8_t*>(origin + target);
    } else {
      rebase(target);
    }
  }

  CPU_INLINE void branch(bool taken) {
    const int8_t offset = int8_t(fetch8());
    if (taken) jump(uint16_t(pc() + offset));
  }

  // After a zero-page read whose second pass leaves the same registers and flags as the first
  // (LDA, LDX, LDY, CMP, CPX, CPY, BIT, and AND and ORA, which reach a fixed point at once): when
  // the next instruction is a branch back to this read and will be taken, this is a wait loop
  // ("wait: LDA zp / BEQ wait"). Zero page only changes through the CPU itself within one
  // cpu_execute call, so every pass from here on is the same as the one that just ran.
  template <AddrMode mode>
  CPU_INLINE void after_alike_read() {
    if constexpr (mode == AddrMode::ZeroPage) {
      if (near_buffer_end() || fp[1] != 0xFC) return;  // offset -4: back to this read
      const uint8_t op = fp[0];
      if ((op & 0x1F) != 0x10 || !branch_taken(op)) return;
      repeat_loop(kOpcodes[fp[-2]].cycles + kOpcodes[op].cycles);
    }
  }

  // Branch opcodes are xxy10000: xx picks N, V, C or Z, y the value that takes the branch.
  CPU_INLINE bool branch_taken(uint8_t op) const {
    bool flag;
    switch (op >> 6) {
      case 0: flag = (n_src & kFlagN) != 0; break;
      case 1: flag = flag_v != 0; break;
      case 2: flag = flag_c != 0; break;
      default: flag = z_src == 0; break;
    }
    return flag == ((op & 0x20) != 0);
  }

  // A loop whose passes are all alike (no handler call, no change to what it reads) and that
  // cost `per_pass` cycles each: the passes the budget still holds whole are charged at once
  // instead of run. The part of a pass that still fits runs as usual, so the registers, the cycle
  // count and the place where the budget runs out are those of running every pass. Exact because
  // nothing outside the CPU runs during cpu_execute except through handlers, and interrupts are
  // only taken between calls.
  CPU_INLINE void repeat_loop(int64_t per_pass) {
    if (left > 0) left -= left / per_pass * per_pass;
  }

  // After CLI, or an RTI that cleared I: a pending IRQ is taken through cpu_irq before the next
  // instruction. Rare, so the whole state goes through the record.
  CPU_INLINE void take_pending_irq() {
    if (!cpu_core.live.irq_pending) return;
    store(pc());
    cpu_irq();
    load();
    rebase(cpu_core.live.pc);
  }
};

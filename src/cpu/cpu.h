// The 6502 core: one global CPU, driven through the operations below.
//
// An outside program drives it like the machine does: fill a CpuContext with its own flat
// memory, handler tables and page slots, install it with cpu_set_context, call cpu_reset or set
// the registers in the record, run a budget with cpu_execute, and read everything back with
// cpu_get_context and cpu_get_cycles.
#pragma once

#include <cstdint>

struct MemHandler;

// A read function returns the byte in its low 8 bits; the other bits are ignored.
using MemReadFn = uint32_t (*)(uint32_t address, MemHandler* entry);
// A write function takes the byte in the low 8 bits of value; the higher bits may hold anything.
using MemWriteFn = void (*)(uint32_t address, uint32_t value, MemHandler* entry);

// The function slot of a table entry: a read function in a read table, a write function in a
// write table. Converts implicitly from either, so tables read as plain initialiser lists.
union MemHandlerFn {
  MemReadFn read;
  MemWriteFn write;
  constexpr MemHandlerFn() : read(nullptr) {}
  constexpr MemHandlerFn(MemReadFn f) : read(f) {}
  constexpr MemHandlerFn(MemWriteFn f) : write(f) {}
};

// One entry of a handler table. Only the low 16 bits of low and high take part in comparisons;
// a table ends with an entry whose low has $FFFF in its low 16 bits.
struct MemHandler {
  uint32_t low;
  uint32_t high;
  MemHandlerFn handler;
  uint32_t reserved;
};

inline constexpr uint32_t kMemHandlerEnd = 0xFFFFFFFFu;
inline constexpr int kCpuPageSlots = 32;
inline constexpr uint32_t kCpuPageSize = 0x2000;

// The CPU's exchange record.
struct CpuContext {
  uint8_t* memory;                // 65,536 bytes of flat memory, indexed by the 16-bit address
  MemHandler* read_handlers;      // terminated table; null counts as an empty table
  MemHandler* write_handlers;     // terminated table; null counts as an empty table
  uint8_t* pages[kCpuPageSlots];  // slot n backs $n000*2..+$1FFF (8 KB) or is null; 0-7 used
  uint8_t a;
  uint8_t p;  // N V 5 B D I Z C, bit 7 first
  uint16_t pc;
  uint8_t x;
  uint8_t y;
  uint8_t s;  // the stack is flat memory $0100 + s
  uint8_t irq_pending;
};

// Status bits of p.
inline constexpr uint8_t kFlagC = 0x01;
inline constexpr uint8_t kFlagZ = 0x02;
inline constexpr uint8_t kFlagI = 0x04;
inline constexpr uint8_t kFlagD = 0x08;
inline constexpr uint8_t kFlagB = 0x10;
inline constexpr uint8_t kFlag5 = 0x20;
inline constexpr uint8_t kFlagV = 0x40;
inline constexpr uint8_t kFlagN = 0x80;

// cpu_execute's result when the budget was spent (otherwise: the address of an unsupported opcode).
inline constexpr uint32_t kCpuBudgetSpent = 0x80000000u;

void cpu_get_context(CpuContext* out);
void cpu_set_context(const CpuContext* in);
uint32_t cpu_context_size();

// clear = 0: the cycle total. clear != 0: the total, zeroed in the same atomic exchange.
uint32_t cpu_get_cycles(uint32_t clear);

// Ends an execute call in progress before its next instruction (for use inside a handler).
void cpu_release();

void cpu_reset();
int cpu_nmi();
// 0: the IRQ was taken. 1: I is set, so it was marked pending.
int cpu_irq();

// Runs instructions while their whole cost fits the budget. Returns kCpuBudgetSpent, or the
// address of an unsupported opcode (with PC left on it).
uint32_t cpu_execute(uint32_t budget);

// The host buffer that holds the cartridge's program data, so that straight-line code running
// off the end of an 8 KB page may keep reading the bytes that follow it in that buffer. Pages
// outside flat memory and this region are trusted for their own 8 KB only. Null/0 clears it.
void cpu_set_program_region(const uint8_t* begin, uint32_t size);

// The CPU's control interface: the exchange record, cycle counter, reset and interrupt entries,
// and the memory map that the interpreter derives from the record.
#include "cpu/cpu.h"

#include <algorithm>

#include "cpu/cpu_core.h"

CpuCore cpu_core{};

namespace {

constexpr uint16_t kVectorNmi = 0xFFFA;
constexpr uint16_t kVectorReset = 0xFFFC;
constexpr uint16_t kVectorIrq = 0xFFFE;
constexpr uintptr_t kFlatSize = 0x10000;

uint16_t flat_word(uint16_t at) {
  const uint8_t* m = cpu_core.live.memory;
  return uint16_t(m[at] | m[at + 1] << 8);
}

// Shared by NMI and IRQ: pushes PC and P straight to flat memory, P unchanged, then enters the
// handler with B clear and I and bit 5 set. Costs no cycles.
void interrupt_entry(uint16_t vector) {
  CpuContext& r = cpu_core.live;
  r.memory[0x100 + r.s] = uint8_t(r.pc >> 8);
  r.memory[0x100 + uint8_t(r.s - 1)] = uint8_t(r.pc);
  r.memory[0x100 + uint8_t(r.s - 2)] = r.p;
  r.s = uint8_t(r.s - 3);
  r.p = uint8_t((r.p & ~kFlagB) | kFlagI | kFlag5);
  r.pc = flat_word(vector);
}

// End of the host buffer that holds a fetch position: code may run on through the program
// region and through flat memory; any other page is trusted for its own 8 KB only.
uintptr_t fetch_buffer_end(uintptr_t at, bool flat) {
  const CpuCore& c = cpu_core;
  const uintptr_t memory = uintptr_t(c.live.memory);
  if (flat) return memory + kFlatSize;
  if (at >= c.region_begin && at < c.region_end) return c.region_end;
  if (at >= memory && at < memory + kFlatSize) return memory + kFlatSize;
  return at + kCpuPageSize;
}

void table_bounds(const MemHandler* table, uint32_t& low, uint32_t& span) {
  uint32_t lo = 0x10000, hi = 0;
  for (const MemHandler* e = table; e && (e->low & 0xFFFF) != 0xFFFF; ++e) {
    lo = std::min(lo, e->low & 0xFFFF);
    hi = std::max(hi, e->high & 0xFFFF);
  }
  if (lo > hi) lo = 0x10000, hi = 0x10000;  // nothing can match
  low = lo;
  span = hi - lo;
}

MemHandler g_walk_marker{};

// True when the table is where and what the shape recorded (the same entries, ranges and
// order); otherwise records it and returns false.
bool same_shape(const MemHandler* table, TableShape& shape) {
  TableShape now{table, 0, {}};
  for (const MemHandler* e = table; e && (e->low & 0xFFFF) != 0xFFFF; ++e) {
    if (now.count == kTableShapeEntries) {  // too long to record: always derived again
      shape = {};
      return false;
    }
    now.ranges[now.count++] = {e->low, e->high};
  }
  if (shape.table && now.table == shape.table && now.count == shape.count &&
      std::equal(now.ranges, now.ranges + now.count, shape.ranges)) {
    return true;
  }
  shape = now;
  return false;
}

// Which entry answers each page of a table first (see CpuMap).
void page_entries(MemHandler* table, MemHandler** pages) {
  for (uint32_t page = 0; page < 256; ++page) {
    const uint32_t first = page << 8, last = first | 0xFF;
    pages[page] = nullptr;
    for (MemHandler* e = table; e && (e->low & 0xFFFF) != 0xFFFF; ++e) {
      const uint32_t low = e->low & 0xFFFF, high = e->high & 0xFFFF;
      if (high < first || low > last || low > high) continue;  // misses the page
      pages[page] = low <= first && high >= last ? e : kCpuWalkTable;
      break;
    }
  }
}

}  // namespace

MemHandler* const kCpuWalkTable = &g_walk_marker;

void cpu_map_refresh() {
  CpuMap& m = cpu_core.map;
  const CpuContext& r = cpu_core.live;
  cpu_core.slots_stale = false;
  // A bank switch installs the record again with the same tables: their part of the map stands.
  if (!same_shape(r.read_handlers, m.read_shape)) {
    table_bounds(r.read_handlers, m.read_low, m.read_span);
    page_entries(r.read_handlers, m.read_page);
  }
  if (!same_shape(r.write_handlers, m.write_shape)) {
    table_bounds(r.write_handlers, m.write_low, m.write_span);
    page_entries(r.write_handlers, m.write_page);
  }
  for (int slot = 0; slot < kCpuMappedSlots; ++slot) {
    const uint8_t* page = r.pages[slot];
    const uintptr_t window = uintptr_t(slot) * kCpuPageSize;
    const uintptr_t start = page ? uintptr_t(page) : uintptr_t(r.memory) + window;
    m.base[slot] = start - window;
    m.fetch_limit[slot] = fetch_buffer_end(start, page == nullptr) - 3;
  }
}

MemHandler* cpu_find_handler(MemHandler* table, uint16_t address) {
  for (MemHandler* e = table; e && (e->low & 0xFFFF) != 0xFFFF; ++e) {
    if ((e->low & 0xFFFF) <= address && address <= (e->high & 0xFFFF)) return e;
  }
  return nullptr;
}

void cpu_get_context(CpuContext* out) { *out = cpu_core.live; }
void cpu_set_context(const CpuContext* in) {
  cpu_core.live = *in;
  cpu_core.slots_stale = true;
}
uint32_t cpu_context_size() { return sizeof(CpuContext); }

uint32_t cpu_get_cycles(uint32_t clear) {
  return clear ? cpu_core.cycles_total.exchange(0) : cpu_core.cycles_total.load();
}

void cpu_release() { cpu_core.cycles_left = 1; }

void cpu_reset() {
  CpuContext& r = cpu_core.live;
  r.a = r.x = r.y = 0;
  r.irq_pending = 0;
  r.s = 0xFF;
  r.p = kFlag5 | kFlagZ;
  r.pc = flat_word(kVectorReset);
}

int cpu_nmi() {
  interrupt_entry(kVectorNmi);
  return 0;
}

int cpu_irq() {
  CpuContext& r = cpu_core.live;
  if ((r.p & kFlagI) || cpu_core.irq_latch_only) {
    r.irq_pending = 1;
    return 1;
  }
  r.irq_pending = 0;
  interrupt_entry(kVectorIrq);
  return 0;
}

void cpu_set_program_region(const uint8_t* begin, uint32_t size) {
  const bool none = begin == nullptr || size == 0;
  cpu_core.region_begin = none ? 0 : uintptr_t(begin);
  cpu_core.region_end = none ? 0 : uintptr_t(begin) + size;
  cpu_core.slots_stale = true;
}

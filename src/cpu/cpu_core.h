// The one CPU's state outside the exchange record, shared by the control operations (cpu.cpp)
// and the interpreter (execute.cpp). Not part of the public interface.
#pragma once

#include <atomic>
#include <cstdint>

#include "cpu/cpu.h"

inline constexpr int kCpuMappedSlots = 8;  // address >> 13 never exceeds 7

// A handler table as a part of the map was derived from it: its address and its entries' ranges.
inline constexpr uint32_t kTableShapeEntries = 16;
struct TableShape {
  const MemHandler* table;
  uint32_t count;
  struct Range {
    uint32_t low, high;
    bool operator==(const Range&) const = default;
  } ranges[kTableShapeEntries];
};

// The memory map as the interpreter reads it, derived from the live record at execute entry and
// after every handler call. Pages, memory and the handler tables change only through
// cpu_set_context, so the map is derived again only after that (or a new program region), and
// its table part only when a table's ranges differ from those it was derived from (mappers
// change the entries' functions, which are read at each call, never their ranges).
struct CpuMap {
  // CPU address a of slot a >> 13 lies at host address base[slot] + a (page or flat memory).
  uintptr_t base[kCpuMappedSlots];
  // A fetch position beyond this lies within 3 bytes of the end of the slot's host buffer.
  uintptr_t fetch_limit[kCpuMappedSlots];
  // An address can match an entry of a table only if (address - low) <= span, unsigned; an
  // empty table has low $10000, which nothing passes. Spares zero page and RAM the walk.
  uint32_t read_low, read_span;
  uint32_t write_low, write_span;
  // Per 256-byte page: the entry that answers every address of the page first, null when no
  // entry covers any of it, or kCpuWalkTable when entries cover parts of it (walk the table).
  MemHandler* read_page[256];
  MemHandler* write_page[256];
  TableShape read_shape, write_shape;  // the tables the parts above were derived from
};

// The page entry that sends an access to the table walk.
extern MemHandler* const kCpuWalkTable;

// The first entry of a terminated table that covers address, or null (also for a null table).
MemHandler* cpu_find_handler(MemHandler* table, uint16_t address);

// The entry that answers address through a page-entry array of the map (read_page or
// write_page) and the table it was derived from, or null: the look-up CpuRun::read and write
// make, which spell it out in place (calling this from there costs the interpreter 0.4 %).
inline MemHandler* cpu_page_entry(MemHandler* const* page, MemHandler* const& table,
                                  uint16_t address) {
  MemHandler* e = page[address >> 8];
  if (e == kCpuWalkTable) e = cpu_find_handler(table, address);
  return e;
}

struct CpuCore {
  CpuContext live;
  // Written only by the thread that runs cpu_execute (and cpu_get_cycles with clear, which
  // that thread also calls); atomic so that other threads may read it.
  std::atomic<uint32_t> cycles_total;
  uint32_t cycles_left;                // what cpu_release changes under a running execute call
  uintptr_t region_begin, region_end;  // the program region; empty when both are 0
  CpuMap map;
  bool slots_stale;    // the record or the region changed since the map was derived
  uint8_t scratch[3];  // the bytes of an instruction fetched across the end of its buffer
  // Set while the cycle-stepped CPU runs the machine: cpu_irq then only latches irq_pending,
  // which that CPU samples as a level on its IRQ line.
  bool irq_latch_only;
};

extern CpuCore cpu_core;

// Brings cpu_core.map up to date with the live record and the program region; the interpreter
// calls it when slots_stale is set.
void cpu_map_refresh();

// The one CPU's state outside the exchange record, shared by the control operations (cpu.cpp)
// and the interpreter (execute.cpp). Not part of the public interface.
#pragma once

#include <atomic>
#include <cstdint>

#include "cpu/cpu.h"

inline constexpr int kCpuMappedSlots = 8;  // address >> 13 never exceeds 7

// The memory map as the interpreter reads it, derived from the live record at execute entry and
// after every handler call. Pages and memory change only through cpu_set_context, so the slot
// part is derived again only after that (or a new program region); the tables, which belong to
// the machine, are looked at every time.
struct CpuMap {
  // CPU address a of slot a >> 13 lies at host address base[slot] + a (page or flat memory).
  uintptr_t base[kCpuMappedSlots];
  // A fetch position beyond this lies within 3 bytes of the end of the slot's host buffer.
  uintptr_t fetch_limit[kCpuMappedSlots];
  // An address can match an entry of a table only if (address - low) <= span, unsigned; an
  // empty table has low $10000, which nothing passes. Spares zero page and RAM the walk.
  uint32_t read_low, read_span;
  uint32_t write_low, write_span;
};

struct CpuCore {
  CpuContext live;
  std::atomic<uint32_t> cycles_total;
  uint32_t cycles_left;                // what cpu_release changes under a running execute call
  uintptr_t region_begin, region_end;  // the program region; empty when both are 0
  CpuMap map;
  bool slots_stale;    // pages, memory or the region changed since the map was derived
  uint8_t scratch[3];  // the bytes of an instruction fetched across the end of its buffer
};

extern CpuCore cpu_core;

// Brings cpu_core.map up to date with the live record and the program region.
void cpu_map_refresh();

// The first entry of a terminated table that covers address, or null (also for a null table).
MemHandler* cpu_find_handler(MemHandler* table, uint16_t address);

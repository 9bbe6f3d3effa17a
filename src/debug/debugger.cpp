#include "debug/debugger.h"

#include <cstdio>
#include <cstring>

#include "machine/machine.h"
#include "ppu/ppu.h"

DebugSnapshot debug_take_snapshot() {
  cpu_get_context(shadow_context);
  const CpuContext& c = *shadow_context;
  DebugSnapshot s{};
  s.a = c.a;
  s.x = c.x;
  s.y = c.y;
  s.s = c.s;
  s.p = c.p;
  s.pc = c.pc;
  s.ctrl = ppu.ctrl;
  s.mask = ppu.mask;
  s.status = ppu.status;
  s.oam_address = ppu.oam_address;
  // The program-bank sync keeps a copy of the vectors here.
  std::memcpy(s.vectors, c.memory + 0xFFFA, sizeof s.vectors);
  s.memory = debug_memory(c);
  return s;
}

std::string debug_binary_text(uint8_t value) {
  std::string text;
  do {
    text.insert(text.begin(), char('0' + (value & 1)));
    value >>= 1;
  } while (value);
  return text;
}

std::string debug_pc_text(uint16_t pc) {
  char text[8];
  std::snprintf(text, sizeof text, "%x", unsigned(pc));
  return text;
}

std::string debug_vector_text(uint8_t low, uint8_t high) {
  char text[8];
  std::snprintf(text, sizeof text, "$%.2X%.2X", unsigned(high), unsigned(low));
  return text;
}

// A CPU on its own 64 KB flat memory, with small handler tables and null pages, for the core's
// tests. Buffers are exactly sized vectors so that AddressSanitizer catches any overread.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "cpu/cpu.h"

class CpuFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ctx.memory = memory.data();
    install();
    cpu_set_program_region(nullptr, 0);
    cpu_get_cycles(1);
  }
  void TearDown() override { cpu_set_program_region(nullptr, 0); }

  // Installs ctx (memory, tables, pages, registers) as the live record.
  void install() { cpu_set_context(&ctx); }

  CpuContext live() const {
    CpuContext c;
    cpu_get_context(&c);
    return c;
  }

  void set_pc(uint16_t pc) {
    CpuContext c = live();
    c.pc = pc;
    cpu_set_context(&c);
  }

  static void place(uint8_t* at, std::initializer_list<uint8_t> bytes) {
    for (uint8_t b : bytes) *at++ = b;
  }
  void poke(uint16_t at, std::initializer_list<uint8_t> bytes) { place(&memory[at], bytes); }

  // Points PC at `at` and runs with the budget; the first form places code there first.
  uint32_t run(uint16_t at, std::initializer_list<uint8_t> code, uint32_t budget = 1000) {
    poke(at, code);
    return run_from(at, budget);
  }
  uint32_t run_from(uint16_t at, uint32_t budget = 1000) {
    set_pc(at);
    return cpu_execute(budget);
  }

  // The registers as one line, so that a failed comparison shows every field.
  static std::string registers(const CpuContext& r) {
    char text[64];
    std::snprintf(text, sizeof text, "A=%02X X=%02X Y=%02X S=%02X P=%02X PC=%04X IRQ=%u", r.a, r.x,
                  r.y, r.s, r.p, r.pc, r.irq_pending);
    return text;
  }

  static constexpr MemHandler kEnd = {kMemHandlerEnd, kMemHandlerEnd, {}, 0};

  std::vector<uint8_t> memory = std::vector<uint8_t>(0x10000);
  CpuContext ctx{};
};

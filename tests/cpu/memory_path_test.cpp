// The memory roads: handler tables and the handler-call protocol, pages against flat memory,
// and where instruction bytes come from when code runs off the end of its buffer.
#include "cpu/cpu_fixture.h"

namespace {

// What the handlers saw; handlers are plain functions, so this is shared.
struct Seen {
  CpuContext record;
  uint32_t address, value, cycles;
  const MemHandler* entry;
  int reads, writes;
  uint8_t* switch_to;  // the bank that switch_bank puts into slot 4
} seen;

// Records what it sees, then moves X and PC in the record; returns more than a byte.
uint32_t record_and_redirect(uint32_t address, MemHandler* entry) {
  cpu_get_context(&seen.record);
  seen.address = address, seen.entry = entry, seen.cycles = cpu_get_cycles(0);
  CpuContext c = seen.record;
  c.x = 0x77, c.pc = 0x0300;
  cpu_set_context(&c);
  return 0x1210;
}
uint32_t count_read(uint32_t, MemHandler*) { return ++seen.reads, 0x10; }
void record_write(uint32_t address, uint32_t value, MemHandler* entry) {
  seen.address = address, seen.value = value, seen.entry = entry;
  ++seen.writes;
}
void switch_bank(uint32_t, uint32_t, MemHandler*) {
  CpuContext c;
  cpu_get_context(&c);
  c.pages[4] = seen.switch_to;
  cpu_set_context(&c);
}
void release_write(uint32_t, uint32_t, MemHandler*) { cpu_release(); }
uint32_t read_a(uint32_t, MemHandler*) { return 0x0A; }
uint32_t read_b(uint32_t, MemHandler*) { return 0x0B; }

class CpuMemoryTest : public CpuFixture {
 protected:
  void SetUp() override {
    seen = {};
    CpuFixture::SetUp();
  }
  void use_tables(MemHandler* reads, MemHandler* writes) {
    ctx.read_handlers = reads, ctx.write_handlers = writes;
    install();
  }
};

// The handler sees the record as it stands after the reading instruction; the core takes X, Y
// and PC back from it, and only the low byte of the result counts.
TEST_F(CpuMemoryTest, ReadHandlerSharesTheRecordWithTheCore) {
  MemHandler reads[] = {{0x2000, 0x2007, record_and_redirect, 0}, kEnd};
  use_tables(reads, nullptr);
  poke(0x0300, {0x85, 0x10, 0x86, 0x11, 0x02});  // STA $10; STX $11
  // LDX #5; LDY #6; LDA #7; LDA $2002
  EXPECT_EQ(run(0x0200, {0xA2, 0x05, 0xA0, 0x06, 0xA9, 0x07, 0xAD, 0x02, 0x20, 0xEA}), 0x0304u);
  EXPECT_EQ(registers(seen.record), "A=07 X=05 Y=06 S=00 P=00 PC=0209 IRQ=0");
  EXPECT_EQ(std::tuple(seen.address, seen.entry, seen.cycles, memory[0x10], memory[0x11]),
            std::tuple(0x2002u, &reads[0], 10u, 0x10, 0x77));
}

// A read-modify-write instruction reads and writes once; the write goes to the handler only.
TEST_F(CpuMemoryTest, ReadModifyWriteAccessesTheHandlersOnce) {
  MemHandler reads[] = {{0x4000, 0x4017, count_read, 0}, kEnd};
  MemHandler writes[] = {{0x4000, 0x4017, record_write, 0}, kEnd};
  use_tables(reads, writes);
  run(0x0200, {0xEE, 0x05, 0x40, 0x02});  // INC $4005
  EXPECT_EQ(std::tuple(seen.reads, seen.writes, seen.address, seen.value & 0xFF, seen.entry),
            std::tuple(1, 1, 0x4005u, 0x11u, &writes[0]));
  EXPECT_EQ(memory[0x4005], 0);
}

TEST_F(CpuMemoryTest, TableWalkTakesTheFirstMatchOnLow16BitsAndStopsAtTheTerminator) {
  MemHandler reads[] = {{0xABCD0010, 0x99990010, read_a, 0},
                        {0x0010, 0x0020, read_b, 0},
                        {0x1234FFFF, 0, {}, 0},  // ends the table
                        {0x0030, 0x0040, read_a, 0}};
  use_tables(reads, nullptr);
  poke(0x0030, {0x33});
  // LDA $10; STA $80; LDA $15; STA $81; LDA $30; STA $82
  run(0x0200, {0xA5, 0x10, 0x85, 0x80, 0xA5, 0x15, 0x85, 0x81, 0xA5, 0x30, 0x85, 0x82, 0x02});
  EXPECT_EQ(std::vector<uint8_t>(&memory[0x80], &memory[0x83]),
            (std::vector<uint8_t>{0x0A, 0x0B, 0x33}));
}

TEST_F(CpuMemoryTest, PagesServeReadsWhileWritesLandInFlatMemory) {
  std::vector<uint8_t> page(0x2000);
  page[5] = 0x77;
  ctx.pages[1] = page.data();
  install();
  // LDA #$99; STA $2005; LDA $2005; STA $11
  run(0x0200, {0xA9, 0x99, 0x8D, 0x05, 0x20, 0xAD, 0x05, 0x20, 0x85, 0x11, 0x02});
  EXPECT_EQ(std::tuple(memory[0x2005], page[5], memory[0x11]), std::tuple(0x99, 0x77, 0x77));
}

TEST_F(CpuMemoryTest, BankSwitchUnderPcTakesEffectAtTheNextOpcode) {
  std::vector<uint8_t> bank_a(0x2000), bank_b(0x2000);
  place(&bank_a[0], {0x8D, 0x00, 0x80, 0xA9, 0x11, 0x02});  // STA $8000; LDA #$11
  place(&bank_b[3], {0xA9, 0x22, 0x02});                    // LDA #$22
  seen.switch_to = bank_b.data();
  MemHandler writes[] = {{0x8000, 0xFFFF, switch_bank, 0}, kEnd};
  ctx.pages[4] = bank_a.data();
  use_tables(nullptr, writes);
  EXPECT_EQ(run_from(0x8000), 0x8005u);
  EXPECT_EQ(live().a, 0x22);
}

TEST_F(CpuMemoryTest, ReleaseFromAWriteHandlerEndsAfterTheWritingInstruction) {
  MemHandler writes[] = {{0x8000, 0xFFFF, release_write, 0}, kEnd};
  use_tables(nullptr, writes);
  EXPECT_EQ(run(0x0200, {0x8D, 0x00, 0x80, 0xEA, 0xEA}), kCpuBudgetSpent);
  EXPECT_EQ(std::pair(live().pc, cpu_get_cycles(0)), std::pair(uint16_t{0x0203}, 4u));
}

// Straight-line code runs on through the program region past its page; a taken branch, like
// every re-base, looks the page up again.
TEST_F(CpuMemoryTest, StraightLineCodeRunsOffAPageThroughTheProgramRegion) {
  std::vector<uint8_t> region(0x8000);
  ctx.pages[4] = &region[0];
  ctx.pages[5] = &region[0x6000];
  install();
  cpu_set_program_region(region.data(), uint32_t(region.size()));
  // $9FFE: LDA #$11, then at $A000 BNE +0 from the bytes after the page; slot 5 shows $02 at
  // $A000 and LDY #$44 at $A002.
  place(&region[0x1FFE], {0xA9, 0x11, 0xD0, 0x00});
  place(&region[0x6000], {0x02, 0x00, 0xA0, 0x44, 0x02});
  EXPECT_EQ(run_from(0x9FFE), 0xA004u);
  EXPECT_EQ(live().y, 0x44);
}

// A page outside flat memory and the region is read for its own 8 KB only; the operand byte
// beyond it comes from the address map, and fetching resumes there. The buffer is exactly 8 KB,
// so the sanitizer build catches any read past it. At the region's end fetching wraps likewise.
TEST_F(CpuMemoryTest, FetchPastTheEndOfAPageOrTheRegionUsesTheAddressMap) {
  std::vector<uint8_t> bank(0x2000);
  place(&bank[0x1FFE], {0xAD, 0x00});  // $9FFE: LDA $3000, high byte at $A000
  poke(0xA000, {0x30, 0x02}), poke(0x3000, {0x5A});
  ctx.pages[4] = bank.data();
  install();
  EXPECT_EQ(run_from(0x9FFE), 0xA001u);
  EXPECT_EQ(live().a, 0x5A);

  std::vector<uint8_t> region(0x8000);
  for (int i = 0; i < 4; ++i) ctx.pages[4 + i] = &region[i * 0x2000];
  install();
  cpu_set_program_region(region.data(), uint32_t(region.size()));
  region[0x7FFF] = 0xA9;  // $FFFF: LDA #imm, operand at $0000
  poke(0x0000, {0x42, 0x02});
  EXPECT_EQ(run_from(0xFFFF), 0x0001u);
  EXPECT_EQ(live().a, 0x42);
}

}  // namespace

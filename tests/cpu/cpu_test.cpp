// The control interface: reset, the record, the budget, the cycle counter, unsupported opcodes
// and interrupt entries.
#include "cpu/cpu_fixture.h"
#include "cpu/opcodes.h"

namespace {

class CpuControlTest : public CpuFixture {};

TEST_F(CpuControlTest, ResetSetsFixedRegistersAndTheVectorAndKeepsCycles) {
  poke(0xFFFC, {0x34, 0x12});
  ctx.a = ctx.x = ctx.y = 0x55, ctx.s = 0x10, ctx.p = 0xFF, ctx.irq_pending = 1;
  install();
  run(0x0200, {0xEA}, 2);
  cpu_reset();
  const CpuContext r = live();
  EXPECT_EQ(r.a, 0);
  EXPECT_EQ(r.x, 0);
  EXPECT_EQ(r.y, 0);
  EXPECT_EQ(r.s, 0xFF);
  EXPECT_EQ(r.p, 0x22);
  EXPECT_EQ(r.pc, 0x1234);
  EXPECT_EQ(r.irq_pending, 0);
  EXPECT_EQ(r.memory, memory.data());
  EXPECT_EQ(cpu_get_cycles(0), 2u);
  EXPECT_EQ(cpu_context_size(), sizeof(CpuContext));
}

TEST_F(CpuControlTest, ExecuteThatChangesNothingKeepsEveryBitOfP) {
  for (int p : {0x00, 0xFF, 0x10, 0x08, 0x20, 0xC3}) {
    ctx.p = uint8_t(p);
    install();
    run(0x0200, {0xEA}, 1);
    EXPECT_EQ(live().p, p);
    run(0x0200, {0xEA}, 2);  // NOP touches no flag either
    EXPECT_EQ(live().p, p);
  }
}

TEST_F(CpuControlTest, UnsupportedOpcodeStopsWithPcOnItBeforeTheBudgetTest) {
  int unsupported = 0;
  for (int op = 0; op < 256; ++op) {
    if (opcode_supported(uint8_t(op))) continue;
    ++unsupported;
    EXPECT_EQ(run(0x0300, {uint8_t(op)}, 0), 0x0300u) << op;
    EXPECT_EQ(cpu_execute(1000), 0x0300u) << op;
    EXPECT_EQ(live().pc, 0x0300) << op;
  }
  EXPECT_EQ(unsupported, 105);
  EXPECT_EQ(cpu_get_cycles(1), 0u);
  EXPECT_EQ(run(0x0200, {0xEA, 0xE8, 0x1A}), 0x0202u);  // runs up to it
  EXPECT_EQ(live().x, 1);
  EXPECT_EQ(cpu_get_cycles(1), 4u);
}

TEST_F(CpuControlTest, RunsOnlyInstructionsWhoseWholeCostFits) {
  for (uint16_t at = 0x0200; at < 0x0200 + 3 * 40; at += 3) poke(at, {0xAD, 0x00, 0x03});
  const struct {
    uint32_t budget, runs;
  } cases[] = {{0, 0}, {1, 0}, {3, 0}, {4, 1}, {7, 1}, {8, 2}, {114, 28}};
  for (const auto& c : cases) {
    set_pc(0x0200);
    EXPECT_EQ(cpu_execute(c.budget), kCpuBudgetSpent);
    EXPECT_EQ(live().pc, 0x0200 + 3 * c.runs) << c.budget;
    EXPECT_EQ(cpu_get_cycles(1), 4 * c.runs) << c.budget;
  }
}

TEST_F(CpuControlTest, GetCyclesReadsOrExchangesWithZero) {
  run(0x0200, {0xEA, 0xEA, 0xEA}, 6);
  EXPECT_EQ(cpu_get_cycles(0), 6u);
  EXPECT_EQ(cpu_get_cycles(0), 6u);
  run(0x0200, {0xEA}, 2);
  EXPECT_EQ(cpu_get_cycles(7), 8u);
  EXPECT_EQ(cpu_get_cycles(0), 0u);
}

TEST_F(CpuControlTest, NmiPushesPcAndPUnchangedAndLeavesPendingIrq) {
  poke(0xFFFA, {0x00, 0x90});
  ctx.pc = 0x1234, ctx.s = 0x01, ctx.p = 0xDB, ctx.irq_pending = 1;
  install();
  EXPECT_EQ(cpu_nmi(), 0);
  const CpuContext r = live();
  EXPECT_EQ(memory[0x0101], 0x12);
  EXPECT_EQ(memory[0x0100], 0x34);
  EXPECT_EQ(memory[0x01FF], 0xDB);
  EXPECT_EQ(r.s, 0xFE);
  EXPECT_EQ(r.p, 0xEF);  // B cleared, I and bit 5 set
  EXPECT_EQ(r.pc, 0x9000);
  EXPECT_EQ(r.irq_pending, 1);
  EXPECT_EQ(cpu_get_cycles(0), 0u);
}

TEST_F(CpuControlTest, IrqUnderIIsPendingOnceAndTakenAtCli) {
  poke(0xFFFE, {0x00, 0x90});
  poke(0x9000, {0x02});
  ctx.pc = 0x0200, ctx.s = 0xFD, ctx.p = 0x24;
  install();
  EXPECT_EQ(cpu_irq(), 1);
  EXPECT_EQ(cpu_irq(), 1);
  CpuContext r = live();
  EXPECT_EQ(r.irq_pending, 1);
  EXPECT_EQ(r.s, 0xFD);
  EXPECT_EQ(r.pc, 0x0200);
  EXPECT_EQ(run(0x0200, {0x58, 0xEA}, 1), kCpuBudgetSpent);  // not taken at execute's start
  EXPECT_EQ(live().pc, 0x0200);

  EXPECT_EQ(cpu_execute(1000), 0x9000u);  // CLI, then the IRQ entry before the NOP
  r = live();
  EXPECT_EQ(r.irq_pending, 0);
  EXPECT_EQ(r.p, 0x24);
  EXPECT_EQ(memory[0x01FB], 0x20);  // the pushed P has I clear
  EXPECT_EQ(memory[0x01FC], 0x01);
  EXPECT_EQ(memory[0x01FD], 0x02);
  EXPECT_EQ(cpu_get_cycles(0), 2u);
}

TEST_F(CpuControlTest, IrqWithIClearIsTakenAtOnce) {
  poke(0xFFFE, {0x00, 0x90});
  ctx.pc = 0x4321, ctx.s = 0xFF, ctx.p = 0x31, ctx.irq_pending = 1;
  install();
  EXPECT_EQ(cpu_irq(), 0);
  const CpuContext r = live();
  EXPECT_EQ(r.irq_pending, 0);
  EXPECT_EQ(r.pc, 0x9000);
  EXPECT_EQ(r.p, 0x25);
  EXPECT_EQ(r.s, 0xFC);
  EXPECT_EQ(memory[0x01FD], 0x31);
}

}  // namespace

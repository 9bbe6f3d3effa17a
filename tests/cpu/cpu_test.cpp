// The control interface: reset and interrupt entries. The budget rule and unsupported opcodes are
// checked with every instruction of the reference comparison.
#include "cpu/cpu_fixture.h"

namespace {

class CpuControlTest : public CpuFixture {};

TEST_F(CpuControlTest, ResetSetsFixedRegistersAndTheVectorAndKeepsCycles) {
  poke(0xFFFC, {0x34, 0x12});
  ctx.a = ctx.x = ctx.y = 0x55, ctx.s = 0x10, ctx.p = 0xFF, ctx.irq_pending = 1;
  install();
  run(0x0200, {0xEA}, 2);
  cpu_reset();
  EXPECT_EQ(registers(live()), "A=00 X=00 Y=00 S=FF P=22 PC=1234 IRQ=0");
  EXPECT_EQ(live().memory, memory.data());
  EXPECT_EQ(cpu_get_cycles(0), 2u);
}

TEST_F(CpuControlTest, NmiPushesPcAndPUnchangedAndLeavesPendingIrq) {
  poke(0xFFFA, {0x00, 0x90});
  ctx.pc = 0x1234, ctx.s = 0x01, ctx.p = 0xDB, ctx.irq_pending = 1;
  install();
  EXPECT_EQ(cpu_nmi(), 0);
  // B cleared, I and bit 5 set; the stack wraps within page one.
  EXPECT_EQ(registers(live()), "A=00 X=00 Y=00 S=FE P=EF PC=9000 IRQ=1");
  EXPECT_EQ(memory[0x0101], 0x12);
  EXPECT_EQ(memory[0x0100], 0x34);
  EXPECT_EQ(memory[0x01FF], 0xDB);
  EXPECT_EQ(cpu_get_cycles(0), 0u);
}

TEST_F(CpuControlTest, IrqIsTakenAtOnceWithIClearOrPendingUntilCli) {
  poke(0xFFFE, {0x00, 0x90});
  ctx.pc = 0x4321, ctx.s = 0xFF, ctx.p = 0x31, ctx.irq_pending = 1;
  install();
  EXPECT_EQ(cpu_irq(), 0);
  EXPECT_EQ(registers(live()), "A=00 X=00 Y=00 S=FC P=25 PC=9000 IRQ=0");
  EXPECT_EQ(memory[0x01FD], 0x31);

  poke(0x9000, {0x02});
  ctx.pc = 0x0200, ctx.s = 0xFD, ctx.p = 0x24, ctx.irq_pending = 0;
  install();
  EXPECT_EQ(cpu_irq(), 1);
  EXPECT_EQ(cpu_irq(), 1);
  EXPECT_EQ(registers(live()), "A=00 X=00 Y=00 S=FD P=24 PC=0200 IRQ=1");
  EXPECT_EQ(run(0x0200, {0x58, 0xEA}, 1), kCpuBudgetSpent);  // not taken at execute's start
  EXPECT_EQ(live().pc, 0x0200);
  EXPECT_EQ(cpu_execute(1000), 0x9000u);  // CLI takes it; the opcode cases check the entry
}

}  // namespace

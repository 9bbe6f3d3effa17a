// The CPU cartridge checks itself: loads, stores, every addressing mode, arithmetic and logic
// with their flags, branches, the stack, JSR/RTS, RTI, JMP indirect and BRK.
#include <gtest/gtest.h>

#include "support/rom_runner.h"

namespace {

constexpr uint32_t kBudgetSpent = 0x80000000;  // cpu_execute ran out of cycles, no bad opcode
constexpr int kChecks = 142;                   // the cartridge's number of checks

TEST(CpuInstrRom, PassesEveryCheck) {
  const RomRun run = run_rom("cpu_instr", 10);
  ASSERT_TRUE(run.loaded);
  const uint8_t* r = &run.memory[0x300];
  EXPECT_EQ(run.cpu_result, kBudgetSpent);
  EXPECT_EQ(r[0], 0x01) << "section " << (r[0] & 0x7F) << ", check " << int(r[1]) << ": A=$"
                        << std::hex << int(r[2]) << " P=$" << int(r[3]) << " X=$" << int(r[4])
                        << " Y=$" << int(r[5]);
  EXPECT_EQ(r[1], kChecks) << "not every check ran";
}

}  // namespace

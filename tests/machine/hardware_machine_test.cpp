// The hardware profile's machine around the CPU and the PPU: sprite DMA's cost by cycle parity,
// and save states that carry their profile.
#include <set>

#include "cart/mapper.h"
#include "machine/frame.h"
#include "ppu/ppu_dot.h"
#include "state/snss.h"
#include "support/machine_fixture.h"

namespace {

class HardwareMachine : public MachineFixture {
 protected:
  void SetUp() override { profile_choice = Profile::Hardware; }
  void TearDown() override {
    profile_choice = Profile::Classic;
    MachineFixture::TearDown();
  }

  // Powers on with `code` at $C000 and returns the cycles of each of its first n instructions.
  std::vector<uint32_t> step_cycles(std::vector<uint8_t> code, size_t n) {
    power_on(InesBuilder(1, 1).at(0xC000, std::move(code)).vectors(0xC000));
    std::vector<uint32_t> cycles;
    for (size_t i = 0; i < n; ++i) cycles.push_back(machine_step_instruction());
    return cycles;
  }
};

// STA $4014 costs its 4 cycles, a halt cycle, 256 reads and 256 writes, and one more cycle to
// align when the transfer would begin on an odd cycle counted from power-on; a 3-cycle LDA before
// it moves the parity. After the 7 cycles of the reset sequence, LDA #, STA and the halt end on
// cycle 14: no alignment.
TEST_F(HardwareMachine, SpriteDmaTakes513Or514CyclesByParity) {
  const std::vector<uint8_t> dma = {0xA9, 0x02, 0x8D, 0x14, 0x40};  // LDA #$02, STA $4014
  std::vector<uint8_t> shifted = {0xA5, 0x00};                      // LDA $00
  shifted.insert(shifted.end(), dma.begin(), dma.end());
  const uint32_t even = step_cycles(dma, 2)[1];
  machine_power_off();
  const uint32_t odd = step_cycles(shifted, 3)[2];
  EXPECT_EQ(even, 4u + 513u);
  EXPECT_EQ(odd, 4u + 514u);
}

// A board that counts lines gets its hook after each visible line (as lines 1-240 begin) and on
// the pre-render line, as in the classic profile; never on line 0.
TEST_F(HardwareMachine, TheLineHookRunsAfterEachVisibleLineAndOnThePreRenderLine) {
  static std::set<uint32_t> lines;
  lines.clear();
  power_on(InesBuilder(1, 1).at(0xC000, {0x4C, 0x00, 0xC0}).vectors(0xC000));
  mapper_state.mapper_scanline_hook = [] { lines.insert(ppu_dot.line); };
  machine_run_frame();
  machine_run_frame();
  std::set<uint32_t> expected = {kPpuPreRenderLine};
  for (uint32_t line = 1; line <= 240; ++line) expected.insert(line);
  EXPECT_EQ(lines, expected);
}

// A state saved in one profile is refused by a machine of the other, which runs on untouched.
TEST_F(HardwareMachine, StatesCarryTheirProfile) {
  RecordingHost host;
  TempDir dir;
  const std::string path = dir / "s.ss0";
  power_on(InesBuilder(1, 1).at(0xC000, {0x4C, 0x00, 0xC0}).vectors(0xC000));
  flat()[0x10] = 0x5A;
  snss_file.state_save_snss(path.c_str());
  flat()[0x10] = 0x00;
  snss_file.state_load_snss(path.c_str());
  EXPECT_EQ(flat()[0x10], 0x5A) << "the same profile loads";
  machine_power_off();

  profile_choice = Profile::Classic;
  power_on(InesBuilder(1, 1).at(0xC000, {0x4C, 0x00, 0xC0}).vectors(0xC000));
  snss_file.state_load_snss(path.c_str());
  EXPECT_EQ(flat()[0x10], 0x00);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].caption, "State Profile Mismatch");
  EXPECT_NE(host.messages[0].text.find("Hardware Accuracy on"), std::string::npos);
}

}  // namespace

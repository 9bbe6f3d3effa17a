#include "machine/frame.h"

#include <gtest/gtest.h>

#include <vector>

#include "audio/sound.h"
#include "cart/mapper.h"
#include "ppu/ppu.h"
#include "shell/plugins.h"
#include "support/machine_fixture.h"

namespace {

class Frame : public MachineFixture {
 protected:
  void TearDown() override {
    input_plugin.get_data = plugin_null_get_data;
    sound_sink = nullptr;
    ntsc_display = 1;
    cycle_carry = 0;  // never reset by the machine; a stopped CPU leaves it at 114
    MachineFixture::TearDown();
  }

  static std::vector<int32_t> carries;
  static void record_carry() { carries.push_back(cycle_carry); }
};
std::vector<int32_t> Frame::carries;

// PRG filled with one 3-byte instruction from $8000, so the CPU runs straight-line code of a
// single cost for a whole frame's visible part.
InesBuilder straight_line(uint8_t opcode) {
  InesBuilder b;
  b.prg_banks = 2;
  std::vector<uint8_t> code;
  for (int i = 0; i < 0x7FF0 / 3; ++i) code.insert(code.end(), {opcode, 0x00, 0x02});
  b.at(0x8000, code).vectors(0x8000, 0xFFF0, 0xFFF0).at(0xFFF0, {0x40});  // RTI
  return b;
}

// LDA abs (4 cycles) or INC abs,X (7 cycles): the carry per line.
TEST_F(Frame, FourCycleSlotsAlternateAndSevenCycleSlotsDoNotAccumulate) {
  const std::pair<uint8_t, std::vector<int32_t>> cases[] = {{0xAD, {2, -2}}, {0xFE, {2, 2}}};
  for (const auto& c : cases) {
    if (shadow_context) machine_power_off();
    power_on(straight_line(c.first));
    mapper_state.mapper_scanline_hook = record_carry;
    cycle_carry = 0;
    carries.clear();
    machine_run_frame();
    ASSERT_EQ(carries.size(), 241u);  // lines 0-239 and slot 262
    for (size_t i = 1; i < 240; ++i) {
      EXPECT_EQ(carries[i], c.second[(i - 1) % 2]) << "opcode " << int(c.first) << " line " << i;
    }
  }
}

TEST_F(Frame, NmiOnlyAtSlot243AndOnlyWhenEnabledThen) {
  // Main: JMP $8000. NMI: INC $10; RTI.
  InesBuilder b;
  b.at(0x8000, {0x4C, 0x00, 0x80}).at(0x9000, {0xE6, 0x10, 0x40}).vectors(0x8000, 0x9000);
  power_on(b);
  machine_run_frame();
  EXPECT_EQ(flat()[0x10], 0);
  ppu.nmi_enable = 0x80;
  machine_run_frame();
  machine_run_frame();
  EXPECT_EQ(flat()[0x10], 2);
}

// Slot 243 sets vertical blank (clearing the sprite-0 hit), latches the joypads and hands over
// a block of sound; all of it goes on after the CPU stopped on an unsupported opcode.
TEST_F(Frame, VblankFlagJoypadsAndSoundAtSlot243) {
  InesBuilder b;
  b.at(0x8000, {0xEA, 0x1A}).vectors(0x8000);
  power_on(b);
  static uint8_t status_at_vblank_hook;
  static int sound_blocks;
  status_at_vblank_hook = 0;
  sound_blocks = 0;
  mapper_state.mapper_vblank_hook = [] { status_at_vblank_hook = ppu.status; };
  input_plugin.get_data = [](uint32_t port) { return port == 1 ? 0x123u : 0x456u; };
  sound_sink = [](const uint8_t*, uint32_t count) {
    EXPECT_EQ(count, kSoundBlockSize);
    ++sound_blocks;
  };
  machine_run_frame();
  ppu.status = 0x40;
  machine_run_frame();
  EXPECT_EQ(status_at_vblank_hook, 0x80);
  EXPECT_EQ(ppu.status & 0x80, 0);  // cleared again at 262
  EXPECT_EQ(joypad[0].stream, 0x123u);
  EXPECT_EQ(joypad[1].stream, 0x456u);
  EXPECT_EQ(sound_blocks, 2);
  EXPECT_EQ(machine_cpu_result, 0x8001u);
  EXPECT_EQ(context().pc, 0x8001);
}

TEST_F(Frame, NtscDisplayBlanksTheEdgeLines) {
  InesBuilder b;
  b.chr_banks = 0;  // blank pattern RAM: every pixel shows the backdrop
  b.at(0x8000, {0x4C, 0x00, 0x80}).vectors(0x8000);
  power_on(b);
  ppu.background_enable = 0x08;
  vram[0x3F00] = 0x21;  // backdrop
  for (uint8_t mode : {1, 0}) {
    ntsc_display = mode;
    machine_run_frame();
    for (uint32_t line = 0; line < kFrameRows; ++line) {
      const bool blank = mode == 1 && (line < 8 || line > 232);
      EXPECT_EQ(frame_buffer[line * kFrameRowBytes], blank ? 0x3F : 0x21) << line;
      EXPECT_EQ(frame_buffer[line * kFrameRowBytes + 271], blank ? 0x3F : 0x21) << line;
    }
  }
}

}  // namespace

#include "machine/frame.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
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
  InesBuilder b(2, 1);
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
    for (size_t i = 1; i < 240; ++i)
      EXPECT_EQ(carries[i], c.second[(i - 1) % 2]) << "opcode " << int(c.first) << " line " << i;
  }
}

std::vector<std::string> events;
// What a frame-loop callback sees: its slot, the status register and where the CPU stands.
void note(const char* what) {
  CpuContext c;
  cpu_get_context(&c);
  char text[64];
  std::snprintf(text, sizeof text, "%s %u %02X %04X", what, unsigned{ppu.scanline}, ppu.status,
                c.pc);
  events.push_back(text);
}

// Slot 243 sets vertical blank (clearing the sprite-0 hit), raises the NMI when enabled by then,
// latches the joypads, runs the frame hook and hands over a block of sound; slot 262 runs the
// scanline hook and clears the flag. All of it goes on while the CPU is stopped on an
// unsupported opcode.
TEST_F(Frame, VerticalBlankBeginsAtSlot243) {
  // Main: NOP, then an unsupported opcode. NMI: INC $10; RTI.
  power_on(InesBuilder()
               .at(0x8000, {0xEA, 0x1A})
               .at(0x9000, {0xE6, 0x10, 0x40})
               .vectors(0x8000, 0x9000));
  events.clear();
  input_plugin.get_data = [](uint32_t port) {
    note(port == 1 ? "pad1" : "pad2");
    return port == 1 ? 0x123u : 0x456u;
  };
  mapper_state.mapper_vblank_hook = [] {
    note("hook");
    ppu.nmi_enable = 0x80;  // too late for this frame's NMI
  };
  mapper_state.mapper_scanline_hook = [] {
    if (ppu.scanline >= 240) note("line");
  };
  sound_sink = [](const uint8_t*, uint32_t count) {
    note(count == kSoundBlockSize ? "sound" : "part");
  };
  ppu.status = 0x40;
  machine_run_frame();
  EXPECT_EQ(flat()[0x10], 0);
  machine_run_frame();
  EXPECT_EQ(flat()[0x10], 1);
  const std::vector<std::string> expected = {
      "pad1 243 80 8001",  "pad2 243 80 8001", "hook 243 80 8001", "sound 243 80 8001",
      "line 262 80 8001",  "pad1 243 80 9000", "pad2 243 80 9000", "hook 243 80 9000",
      "sound 243 80 9000", "line 262 80 8001"};
  EXPECT_EQ(events, expected);
  EXPECT_EQ(std::tuple(ppu.status, joypad[0].stream, joypad[1].stream, machine_cpu_result),
            std::tuple(0, 0x123u, 0x456u, 0x8001u));
}

TEST_F(Frame, NtscDisplayBlanksTheEdgeLines) {
  // Blank pattern RAM: every pixel shows the backdrop.
  power_on(InesBuilder(1, 0).at(0x8000, {0x4C, 0x00, 0x80}).vectors(0x8000));
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

#include "machine/frame.h"

#include <cstring>

#include "audio/sound.h"
#include "cart/mapper.h"
#include "cpu/cpu.h"
#include "cpu/opcodes.h"
#include "machine/io_ports.h"
#include "machine/machine.h"
#include "ppu/ppu.h"
#include "ppu/renderer.h"
#include "shell/plugins.h"

std::atomic<uint8_t> ntsc_display{1};
int32_t cycle_carry = 0;
uint32_t machine_cpu_result = kCpuBudgetSpent;

namespace {

// Draws a visible line from the state the previous slots left, then clocks the mapper.
void render_line(uint8_t* row) {
  const uint16_t line = ppu.scanline;
  if (ntsc_display.load(std::memory_order_relaxed) == 1 && (line < 8 || line > 232)) {
    std::memset(row, kBlankFill, kFrameRowBytes);
  } else {
    ppu_render_background(line, row);
    if (ppu.sprite_enable) ppu_render_sprites(line, row);
  }
  if (mapper_state.mapper_scanline_hook) mapper_state.mapper_scanline_hook();
}

// Vertical blank begins: NMI, the joypads of this frame, the mapper's frame hook, the sound.
void begin_vblank() {
  ppu.status = uint8_t((ppu.status & 0x3F) | 0x80);
  if (ppu.nmi_enable) cpu_nmi();
  joypad[0].stream = input_plugin.get_data(1);
  joypad[1].stream = input_plugin.get_data(2);
  if (mapper_state.mapper_vblank_hook) mapper_state.mapper_vblank_hook();
  sound_frame();
}

void end_vblank() {
  if (mapper_state.mapper_scanline_hook) mapper_state.mapper_scanline_hook();
  ppu.status &= 0x7F;
}

}  // namespace

void machine_run_frame() {
  if (machine_profile == Profile::Hardware) {
    hardware_run_frame();
  } else {
    classic_run_frame();
  }
}

void classic_run_frame() {
  uint8_t* row = frame_buffer;
  for (ppu.scanline = 0; ppu.scanline < kSlotsPerFrame; ++ppu.scanline) {
    if (ppu.scanline < kVisibleLines) {
      render_line(row);
      row += kFrameRowBytes;
    } else if (ppu.scanline == kVblankStartSlot) {
      begin_vblank();
    } else if (ppu.scanline == kVblankEndSlot) {
      end_vblank();
    }
    // The carry is 114 minus what ran, so a shortfall is made up in the next slot only.
    machine_cpu_result = cpu_execute(uint32_t(int32_t(kCyclesPerSlot) + cycle_carry));
    cycle_carry = int32_t(kCyclesPerSlot) - int32_t(cpu_get_cycles(1));
  }
}

uint8_t machine_opcode_at(const CpuContext& ctx, uint16_t pc) {
  const uint8_t* page = ctx.pages[pc >> 13];
  return page ? page[pc & 0x1FFF] : ctx.memory[pc];
}

void machine_reset() {
  if (machine_profile == Profile::Hardware) {
    hardware_reset();
  } else {
    cpu_reset();
  }
}

uint32_t machine_step_instruction() {
  if (machine_profile == Profile::Hardware) return hardware_step_instruction();
  CpuContext ctx;
  cpu_get_context(&ctx);
  const uint8_t op = machine_opcode_at(ctx, ctx.pc);
  if (!opcode_supported(op)) return 0;
  // A budget of exactly one instruction's cost runs exactly that instruction.
  cpu_get_cycles(1);
  cpu_execute(kOpcodes[op].cycles);
  return cpu_get_cycles(1);
}

// Power-on and power-off: everything the machine owns is allocated zeroed at the start of each
// run of a cartridge and freed at its end, so nothing survives from one game to the next.
#include <cstring>
#include <new>

#include "audio/apu.h"
#include "audio/sound.h"
#include "cart/cartridge.h"
#include "cart/mapper.h"
#include "cpu/cpu_core.h"
#include "machine/frame.h"
#include "machine/machine.h"
#include "machine/memory_map.h"
#include "machine/profile.h"
#include "ppu/ppu.h"
#include "state/battery.h"

namespace {

uint8_t* flat_memory = nullptr;

// The APU's reset sweeps $4000-$4015 through the register window, so that its $4014 write
// performs a sprite DMA from page $00 as a game's write would.
void register_bus_write(uint32_t address, uint32_t value) {
  ppu_write_register(address, value, nullptr);
}

}  // namespace

void machine_power_on() {
  // The boards set themselves up for the profile, so it is chosen before anything else.
  machine_profile = profile_choice.load();
  cpu_core.irq_latch_only = false;
  shadow_context = new CpuContext{};
  flat_memory = new uint8_t[kFlatMemorySize]();
  shadow_context->memory = flat_memory;
  shadow_context->read_handlers = machine_read_handlers;
  shadow_context->write_handlers = machine_write_handlers;
  cpu_set_context(shadow_context);

  vram = new uint8_t[kVramSize]();
  frame_buffer = new uint8_t[kFrameBufferSize]();

  mapper_setup();

  CpuContext ctx;
  cpu_get_context(&ctx);
  ctx.pages[3] = flat_memory + 0x6000;
  cpu_set_context(&ctx);
  cpu_get_context(shadow_context);

  // The battery RAM is in place before the reset vector is read; a trainer goes over it.
  battery_load(flat_memory + kBatteryRamAddress);
  if (cartridge.trainer_present && cartridge.trainer) {
    std::memcpy(flat_memory + 0x7000, cartridge.trainer, kTrainerSize);
  }

  ppu_pages.palette_page = vram + 0x3F00;
  if (!cartridge.chr_rom_size) {
    for (uint32_t i = 0; i < 8; ++i) ppu_pages.pattern_page[i] = vram + i * kPpuPageSize;
  }
  for (uint32_t i = 0; i < 4; ++i) ppu_pages.high_page[i] = vram + 0x3000 + i * kPpuPageSize;

  ppu.write_toggle = 0;
  ppu.dummy_read_pending = 1;

  if (cartridge.vertical_mirroring) {
    mapper_mirror_vertical();
  } else {
    mapper_mirror_horizontal();
  }
  apu_reset_bus_write = register_bus_write;
  cpu_reset();
  cpu_get_context(shadow_context);
  // The first frame's budget starts from nothing: cycles counted before this power-on (an
  // earlier run, or code run outside frames) must not shorten or wrap it.
  cpu_get_cycles(1);
  cycle_carry = 0;
  sound_render = apu_render;
  if (machine_profile == Profile::Hardware) hardware_power_on();
}

void machine_power_off() {
  battery_release();
  cpu_set_program_region(nullptr, 0);
  CpuContext empty{};
  cpu_set_context(&empty);
  delete shadow_context;
  shadow_context = nullptr;
  delete[] flat_memory;
  flat_memory = nullptr;
  cartridge.cartridge_unload();
  delete[] vram;
  vram = nullptr;
  delete[] frame_buffer;
  frame_buffer = nullptr;
  // The pages pointed into the image and VRAM that are gone now.
  ppu_pages = {};
}

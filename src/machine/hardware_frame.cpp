// The hardware profile's machine: the cycle-stepped CPU drives the console's bus, and every bus
// cycle moves the dot-clocked PPU three dots, so each register access lands at the dot the
// console would see it. Sprite DMA halts the CPU for its 513 or 514 cycles, each DMC sample read
// for 3 or 4 (2 within sprite DMA); the board's and the sound chip's IRQ outputs and the PPU's
// NMI output are sampled after every cycle.
#include <cstring>

#include "audio/apu_hw.h"
#include "audio/sound.h"
#include "cart/mapper.h"
#include "cpu/cpu_core.h"
#include "cpu/hw_cpu.h"
#include "machine/frame.h"
#include "machine/io_ports.h"
#include "machine/machine.h"
#include "ppu/ppu.h"
#include "ppu/ppu_dot.h"
#include "shell/plugins.h"

namespace {

inline constexpr uint32_t kDotsPerCycle = 3;

struct HardwareBus;
using HardwareCpu = HwCpu<HardwareBus>;

// What the bus keeps between cycles.
struct BusState {
  uint8_t open_bus;  // the last value on the CPU's data bus
  uint8_t dma_page;  // $4014's page, while a transfer waits
  bool dma_pending;
  uint64_t cycles;     // bus cycles since power-on: the DMA's parity
  uint16_t line_seen;  // the PPU line the mapper's scanline hook last saw
  // The PPU runs behind the CPU and catches up before anything could see the difference: the
  // dots owed, and how many may be owed before the next dot the CPU could notice.
  uint32_t ppu_owed;
  uint32_t ppu_slack;
};
BusState bus;

// A mapper's write may switch banks: the map follows the record.
void refresh_map() {
  if (cpu_core.slots_stale) cpu_map_refresh();
}

// Boards without an A12 watcher (all but MMC3 here) keep their per-line hook: it runs as each
// visible line and the pre-render line begin.
void line_events() {
  const uint16_t line = ppu_dot.line;
  if (line == bus.line_seen) return;
  bus.line_seen = line;
  if ((line >= 1 && line <= kVisibleLines) || line == kPpuPreRenderLine) {
    if (mapper_state.mapper_scanline_hook) mapper_state.mapper_scanline_hook();
  }
}

// The dots from the PPU's position to the next one whose effect the CPU sees without touching a
// PPU register: the picture's end (line 240), vertical blank's flag set (241, 1) and cleared
// (261, 1), which move the NMI output; the start of each line for a board with a per-line hook;
// every dot for a board that watches A12, whose IRQ output follows the PPU's fetches.
uint32_t dots_to_next_event() {
  if (mapper_state.mapper_a12_hook) return kDotsPerCycle;
  constexpr uint32_t kLine = kPpuDotsPerLine;
  const uint32_t here = uint32_t(ppu_dot.line) * kLine + ppu_dot.dot;
  uint32_t next = kPpuPreRenderLine * kLine + kLine;  // the frame's end at the latest
  for (const uint32_t event :
       {kVisibleLines * kLine, (kVisibleLines + 1) * kLine + 2, kPpuPreRenderLine * kLine + 2}) {
    if (event > here && event < next) next = event;
  }
  if (mapper_state.mapper_scanline_hook) {
    const uint32_t line_end = (uint32_t(ppu_dot.line) + 1) * kLine;
    if (line_end < next) next = line_end;
  }
  return next - here;
}

void catch_up_ppu() {
  if (bus.ppu_owed) ppu_dot_run(bus.ppu_owed);
  bus.ppu_owed = 0;
  bus.ppu_slack = dots_to_next_event();
}

struct HardwareBus {
  static void tick() {
    ++bus.cycles;
    bus.ppu_owed += kDotsPerCycle;
    if (bus.ppu_owed >= bus.ppu_slack) catch_up_ppu();
    if (bus.cycles > apu_hw.deadline) apu_hw_run_to(bus.cycles);
  }

  // A CPU read: a DMC read that waits halts the CPU here first (a write cycle cannot halt it).
  static uint8_t read(uint16_t address) {
    if (bus.cycles >= apu_hw.dma_at) dmc_dma();
    return access(address);
  }

  // One read cycle on the bus, the CPU's or a DMA's.
  static uint8_t access(uint16_t address) {
    tick();
    uint8_t v;
    if (address < 0x2000) {
      v = shadow_context->memory[address & 0x7FF];
    } else if (address < 0x4000) {
      catch_up_ppu();
      v = ppu_dot_read(address);
    } else if (address < 0x4020) {
      // The joypads drive bits 0-4 only; the rest is what the bus last held.
      if (address == 0x4016 || address == 0x4017) {
        v = uint8_t((io_read(address) & 0x1F) | (bus.open_bus & 0xE0));
      } else if (address == 0x4015) {
        v = uint8_t((apu_hw_read_status(bus.cycles) & 0xDF) | (bus.open_bus & 0x20));
      } else {
        v = bus.open_bus;
      }
    } else if (MemHandler* e =
                   cpu_page_entry(cpu_core.map.read_page, cpu_core.live.read_handlers, address)) {
      catch_up_ppu();
      v = uint8_t(e->handler.read(address, e));
      refresh_map();
    } else if (address >= 0x6000) {
      v = *reinterpret_cast<const uint8_t*>(cpu_core.map.base[address >> 13] + address);
    } else {
      v = bus.open_bus;  // nothing answers at $4020-$5FFF
    }
    bus.open_bus = v;
    return v;
  }

  static void write(uint16_t address, uint8_t v) {
    tick();
    bus.open_bus = v;
    if (address < 0x2000) {
      shadow_context->memory[address & 0x7FF] = v;
    } else if (address < 0x4000) {
      catch_up_ppu();
      ppu_dot_write(address, v);
    } else if (address == kSpriteDmaPort) {
      bus.dma_page = v;
      bus.dma_pending = true;
    } else if (address == 0x4016) {
      io_write(address, v);
    } else if (address < 0x4020) {
      apu_hw_write(address, v, bus.cycles);
    } else if (MemHandler* e =
                   cpu_page_entry(cpu_core.map.write_page, cpu_core.live.write_handlers, address)) {
      catch_up_ppu();  // a bank switch must not reach dots already due
      e->handler.write(address, v, e);
      refresh_map();
    }
  }

  static bool nmi_line() { return ppu_dot_nmi_line(); }
  static bool irq_line() {
    return mapper_state.irq_line || cpu_core.live.irq_pending || apu_hw.irq_line;
  }

  // The DMC's read: the halt cycle, a dummy cycle, one more to align when the next cycle is a
  // put (odd) one, then the read in a get (even) cycle: 3 or 4 cycles.
  static void dmc_dma() {
    tick();
    tick();
    if (bus.cycles & 1) tick();
    apu_hw_dma_fill(access(apu_hw_dma_address()), bus.cycles);
  }
};

HardwareBus hardware_bus;
HardwareCpu hw_cpu{hardware_bus};

// Sprite DMA: a halt cycle (and one more to align when it starts on an odd cycle), then 256
// reads of the page, each followed by a write to the sprite memory.
void sprite_dma() {
  bus.dma_pending = false;
  const uint16_t page = uint16_t(bus.dma_page << 8);
  HardwareBus::tick();
  if (bus.cycles & 1) HardwareBus::tick();
  for (uint32_t i = 0; i < 256; ++i) {
    // A DMC read takes this get cycle; the sprite copy waits through the put cycle after it.
    if (bus.cycles >= apu_hw.dma_at) {
      apu_hw_dma_fill(HardwareBus::access(apu_hw_dma_address()), bus.cycles);
      HardwareBus::tick();
    }
    const uint8_t v = HardwareBus::access(uint16_t(page | i));
    HardwareBus::tick();
    catch_up_ppu();
    ppu_dot_oam_dma_write(v);
  }
}

// One instruction and what follows it on the bus. False when the CPU is jammed.
bool step() {
  // An IRQ a board raised through cpu_irq is latched until the CPU takes it.
  const bool takes_latched_irq = hw_cpu.want_irq && !hw_cpu.want_nmi;
  const uint32_t result = hw_cpu.step();
  if (takes_latched_irq) cpu_core.live.irq_pending = 0;
  if (bus.dma_pending) sprite_dma();
  line_events();
  if (result != kCpuBudgetSpent) {
    machine_cpu_result = result;
    return false;
  }
  return true;
}

// Vertical blank begins: the joypads of this frame, the mapper's frame hook, the sound.
void frame_events() {
  joypad[0].stream = input_plugin.get_data(1);
  joypad[1].stream = input_plugin.get_data(2);
  if (mapper_state.mapper_vblank_hook) mapper_state.mapper_vblank_hook();
  apu_hw_run_to(bus.cycles);
  sound_frame();
}

}  // namespace

void hardware_power_on() {
  bus = {};
  bus.line_seen = 0xFFFF;
  cpu_core.irq_latch_only = true;
  ppu_dot_power();
  apu_hw_power();
  sound_render = apu_hw_render;
  ppu_dot_a12_rise = mapper_state.mapper_a12_hook;
  // A cartridge's own vector, read through the board as the console does.
  if (cpu_core.slots_stale) cpu_map_refresh();
  hw_cpu.cycles = 0;
  hw_cpu.nmi_level = hw_cpu.irq_level = false;
  // The reset sequence takes S from 0 to $FD, as at the console's power-on.
  cpu_core.live.s = 0;
  hw_cpu.load(cpu_core.live);
  hw_cpu.reset();
  hw_cpu.store(cpu_core.live);
  cpu_get_context(shadow_context);
}

void hardware_reset() {
  hw_cpu.load(cpu_core.live);
  hw_cpu.reset();
  hw_cpu.store(cpu_core.live);
  cpu_get_context(shadow_context);
}

void hardware_run_frame() {
  machine_cpu_result = kCpuBudgetSpent;
  hw_cpu.load(cpu_core.live);
  refresh_map();
  bool running = !hw_cpu.jammed;
  while (!ppu_dot.frame_ready) {
    if (running) {
      running = step();
    } else {
      HardwareBus::tick();  // a jammed CPU leaves the PPU running
      line_events();
    }
  }
  catch_up_ppu();  // the dots of the frame's last instruction
  ppu_dot.frame_ready = false;
  hw_cpu.store(cpu_core.live);
  cpu_get_context(shadow_context);
  frame_events();
}

uint32_t hardware_step_instruction() {
  hw_cpu.load(cpu_core.live);
  refresh_map();
  const uint64_t before = bus.cycles;
  const bool ran = step();
  if (ppu_dot.frame_ready) {
    ppu_dot.frame_ready = false;
    frame_events();
  }
  hw_cpu.store(cpu_core.live);
  return ran ? uint32_t(bus.cycles - before) : 0;
}

namespace {

// Plain structures, copied byte for byte: a state is read back by the same build.
template <typename Fn>
void for_each_part(Fn&& fn) {
  fn(&ppu_dot, sizeof ppu_dot);
  fn(&bus, sizeof bus);
  fn(&apu_hw, sizeof apu_hw);
  fn(&hw_cpu.cycles, sizeof hw_cpu.cycles);
  for (bool* flag : {&hw_cpu.jammed, &hw_cpu.nmi_pending, &hw_cpu.nmi_level, &hw_cpu.irq_level,
                     &hw_cpu.want_nmi, &hw_cpu.want_irq}) {
    fn(flag, sizeof *flag);
  }
}

}  // namespace

uint32_t hardware_state_size() {
  uint32_t size = 0;
  for_each_part([&](void*, size_t n) { size += uint32_t(n); });
  return size;
}

void hardware_state_save(uint8_t* out) {
  for_each_part([&](const void* part, size_t n) {
    std::memcpy(out, part, n);
    out += n;
  });
}

void hardware_state_load(const uint8_t* in) {
  for_each_part([&](void* part, size_t n) {
    std::memcpy(part, in, n);
    in += n;
  });
  // The sound's level changes of the frame under way belong to the state left behind; a state is
  // saved between frames, when there are none.
  apu_hw_mix_clear();
}

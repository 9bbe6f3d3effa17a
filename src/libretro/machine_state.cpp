#include "libretro/machine_state.h"

#include <cstring>

#include "audio/apu.h"
#include "audio/apu_tables.h"
#include "cart/cartridge.h"
#include "cart/mapper.h"
#include "cpu/cpu_core.h"
#include "machine/frame.h"
#include "machine/io_ports.h"
#include "machine/machine.h"
#include "machine/profile.h"
#include "ppu/ppu.h"

namespace {

constexpr char kMagic[4] = {'V', 'N', 'S', 'T'};
// Raised whenever the parts below or a record they copy change.
constexpr uint32_t kVersion = 1;

// One walk over every part serves measuring, saving, checking and loading, so the four cannot
// disagree about the layout. Plain records are copied byte for byte; page pointers are kept as
// a buffer number and an offset, since the buffers move from one power-on to the next.
class Walk {
 public:
  enum Mode { Measure, Save, Check, Load };
  Walk(Mode mode, uint8_t* out, const uint8_t* in) : mode_(mode), out_(out), in_(in) {}

  void bytes(void* data, size_t n) {
    if (mode_ == Save) std::memcpy(out_ + pos_, data, n);
    if (mode_ == Load) std::memcpy(data, in_ + pos_, n);
    pos_ += n;
  }
  template <class T>
  void value(T& v) {
    bytes(&v, sizeof v);
  }
  void pointer(uint8_t*& p) {
    const Buffer buffers[] = {
        {nullptr, 0},
        {cartridge.image, cartridge.image_size},
        {vram, kVramSize},
        {shadow_context->memory, kFlatMemorySize},
    };
    uint8_t index = 0;
    uint32_t offset = 0;
    if (mode_ == Save) {
      for (uint8_t i = 1; i < std::size(buffers); ++i) {
        if (p >= buffers[i].begin && p < buffers[i].begin + buffers[i].size) {
          index = i;
          offset = uint32_t(p - buffers[i].begin);
        }
      }
    }
    value(index);
    value(offset);
    if (mode_ == Check && (index >= std::size(buffers) || offset >= buffers[index].size + !index)) {
      ok_ = false;
    }
    if (mode_ == Load) p = buffers[index].begin ? buffers[index].begin + offset : nullptr;
  }

  Mode mode() const { return mode_; }
  size_t position() const { return pos_; }
  bool ok() const { return ok_; }

 private:
  struct Buffer {
    uint8_t* begin;
    uint32_t size;
  };
  Mode mode_;
  uint8_t* out_;
  const uint8_t* in_;
  size_t pos_ = 0;
  bool ok_ = true;
};

void visit_board_part(void* data, uint32_t size, void* walk) {
  static_cast<Walk*>(walk)->bytes(data, size);
}

void walk_machine(Walk& w) {
  CpuContext& cpu = *shadow_context;
  w.value(cpu.a), w.value(cpu.p), w.value(cpu.pc), w.value(cpu.x), w.value(cpu.y);
  w.value(cpu.s), w.value(cpu.irq_pending);
  for (int i = 0; i < kCpuMappedSlots; ++i) w.pointer(cpu.pages[i]);
  uint32_t cycles = cpu_core.cycles_total.load();
  w.value(cycles);
  if (w.mode() == Walk::Load) cpu_core.cycles_total.store(cycles);
  w.value(cycle_carry), w.value(machine_cpu_result);
  w.bytes(cpu.memory, kFlatMemorySize);

  w.bytes(vram, kVramSize);
  w.value(ppu);
  for (uint8_t*& p : ppu_pages.pattern_page) w.pointer(p);
  for (uint8_t*& p : ppu_pages.nametable_page) w.pointer(p);
  for (uint8_t*& p : ppu_pages.high_page) w.pointer(p);
  for (uint8_t*& p : ppu_pages.render_nametable) w.pointer(p);
  w.pointer(ppu_pages.palette_page);

  w.value(mapper_state.prg_bank), w.value(mapper_state.sram_enabled);
  w.value(mapper_state.irq_line);
  mapper_board_state(visit_board_part, &w);
  w.value(joypad);

  w.value(apu_write_log), w.value(apu_render_position), w.value(apu_square);
  w.value(apu_triangle), w.value(apu_noise), w.value(apu_dmc), w.value(apu_noise_table);
  w.value(apu_channel_switches), w.value(apu_noise_shift_register);
}

// The header: magic, version, profile, image size.
constexpr size_t kHeaderSize = 4 + 4 + 4 + 4;

void put32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }
uint32_t get32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

}  // namespace

size_t machine_state_size() {
  // Measuring touches nothing but the machine's addresses, so it needs a machine only for those.
  CpuContext scratch{};
  CpuContext* const saved = shadow_context;
  if (!shadow_context) shadow_context = &scratch;
  Walk w(Walk::Measure, nullptr, nullptr);
  walk_machine(w);
  shadow_context = saved;
  return kHeaderSize + w.position() + hardware_state_size();
}

void machine_state_save(uint8_t* out) {
  std::memcpy(out, kMagic, 4);
  put32(out + 4, kVersion);
  put32(out + 8, uint32_t(machine_profile));
  put32(out + 12, cartridge.image_size);
  cpu_get_context(shadow_context);
  Walk w(Walk::Save, out + kHeaderSize, nullptr);
  walk_machine(w);
  hardware_state_save(out + kHeaderSize + w.position());
}

bool machine_state_load(const uint8_t* in, size_t size) {
  if (size != machine_state_size() || std::memcmp(in, kMagic, 4) != 0 ||
      get32(in + 4) != kVersion || get32(in + 8) != uint32_t(machine_profile) ||
      get32(in + 12) != cartridge.image_size) {
    return false;
  }
  cpu_get_context(shadow_context);
  Walk check(Walk::Check, nullptr, in + kHeaderSize);
  walk_machine(check);
  if (!check.ok()) return false;
  Walk w(Walk::Load, nullptr, in + kHeaderSize);
  walk_machine(w);
  cpu_set_context(shadow_context);
  cpu_get_context(shadow_context);
  if (machine_profile == Profile::Hardware) hardware_state_load(in + kHeaderSize + w.position());
  return true;
}

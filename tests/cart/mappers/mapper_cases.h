// Table-driven mapper tests: a case powers on an image for one mapper, plays a list of register
// writes and hook calls, and states the windows, pattern pages and mirroring it expects.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/mapper_fixture.h"

// A CPU write, or a hook call: addresses below $4000 call the PPU latch hook with that PPU
// address; kScanline and kVblank call the frame hooks.
struct Op {
  uint32_t address;
  uint8_t value = 0;
};
inline constexpr uint32_t kScanline = 0x10000;
inline constexpr uint32_t kVblank = 0x10001;

struct MapperCase {
  const char* what;
  int mapper, prg, chr;  // mapper number, 16 KB and 8 KB units
  std::vector<Op> ops = {};
  std::vector<int> banks = {};  // 8 KB banks at $8000, $A000, $C000, $E000; empty: not checked
  std::vector<int> pages = {};  // 1 KB CHR banks on pattern pages 0, 1, ...: as many as given
  char mirror = 0;              // 'V', 'H', 'L' or 'S'; 0: not checked
};

class MapperCaseTest : public MapperFixture {
 protected:
  void power_on_mapper(int number, int prg, int chr) {
    power_on(InesBuilder::mapper(number, prg, chr));
    // SRAM as power-on maps it; interrupts stay pending in the context, where tests look.
    CpuContext ctx;
    cpu_get_context(&ctx);
    ctx.pages[3] = flat_.data() + 0x6000;
    ctx.p |= kFlagI;
    ctx.irq_pending = 0;
    cpu_set_context(&ctx);
    cpu_get_context(shadow_context);
  }

  void run(const std::vector<Op>& ops) {
    for (const Op& op : ops) {
      uint16_t a = uint16_t(op.address);
      if (op.address == kScanline) mapper_state.mapper_scanline_hook();
      if (op.address == kVblank) mapper_state.mapper_vblank_hook();
      if (op.address < 0x4000) mapper_state.mapper_ppu_latch_hook(&a);
      if (op.address >= 0x4000 && op.address < kScanline) cpu_write(op.address, op.value);
    }
  }

  std::vector<int> banks() {
    return {bank_at(0x8000), bank_at(0xA000), bank_at(0xC000), bank_at(0xE000)};
  }
  std::vector<int> pages() {
    std::vector<int> v;
    for (int i = 0; i < 8; ++i) v.push_back(chr_page_at(i));
    return v;
  }
  // The name-table set-up as its letter: which of the two 1 KB tables each quarter shows, to the
  // PPU's registers and to the renderer alike.
  char mirroring() {
    std::string tables;
    for (int i = 0; i < 4; ++i) {
      const uint8_t* p = ppu_pages.nametable_page[i];
      if (p != ppu_pages.render_nametable[i]) return '!';
      tables += p == vram + 0x2000 ? 'a' : p == vram + 0x2400 ? 'b' : '?';
    }
    for (const char* m : {"Vabab", "Haabb", "Laaaa", "Sbbbb"}) {
      if (tables == m + 1) return m[0];
    }
    return '?';
  }

  void check(const MapperCase& c) {
    SCOPED_TRACE(c.what);
    power_on_mapper(c.mapper, c.prg, c.chr);
    run(c.ops);
    std::vector<int> p = pages();
    p.resize(c.pages.size());  // empty: not checked, as for banks and mirroring
    EXPECT_EQ(p, c.pages);
    EXPECT_EQ(banks(), c.banks.empty() ? banks() : c.banks);
    EXPECT_EQ(mirroring(), c.mirror ? c.mirror : mirroring());
  }

  // Takes an interrupt that a hook marked pending.
  bool take_irq() {
    CpuContext ctx;
    cpu_get_context(&ctx);
    const bool pending = ctx.irq_pending;
    ctx.irq_pending = 0;
    cpu_set_context(&ctx);
    return pending;
  }
  // The scanline-hook call (1-based) that raises the next interrupt, 0 when none within limit.
  int calls_until_irq(int limit) {
    for (int i = 1; i <= limit; ++i) {
      mapper_state.mapper_scanline_hook();
      if (take_irq()) return i;
    }
    return 0;
  }
};

// count consecutive bank numbers from first; cat joins such runs into the eight pages.
inline std::vector<int> seq(int first, int count = 8) {
  std::vector<int> v;
  for (int i = 0; i < count; ++i) v.push_back(first + i);
  return v;
}
inline std::vector<int> cat(std::vector<int> a, const std::vector<int>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

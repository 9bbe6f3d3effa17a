#include "libretro/picture.h"

#include <cstring>

#include "ppu/palettes.h"

void Picture::set_palette(uint32_t index) {
  if (index >= uint32_t(kPaletteCount)) index = 0;
  if (index == palette_) return;
  palette_ = index;
  for (uint32_t i = 0; i < 256; ++i) {
    const PaletteEntry& c = ppu_palettes[index][i];
    colours_[i] = uint32_t(c.red) << 16 | uint32_t(c.green) << 8 | c.blue;
  }
  stale_ = true;
}

void Picture::update(const uint8_t* frame_buffer) {
  if (palette_ == ~0u) set_palette(0);
  for (uint32_t y = 0; y < kFrameRows; ++y) {
    const uint8_t* in = frame_buffer + y * kFrameRowBytes;
    uint8_t* seen = shown_ + y * kWidth;
    uint32_t* out = pixels_ + y * kWidth;
    for (uint32_t x = 0; x < kWidth; x += kStretch) {
      uint64_t a[2], b[2];
      std::memcpy(a, in + x, kStretch);
      std::memcpy(b, seen + x, kStretch);
      if (!stale_ && ((a[0] ^ b[0]) | (a[1] ^ b[1])) == 0) continue;
      std::memcpy(seen + x, in + x, kStretch);
      for (uint32_t i = x; i < x + kStretch; ++i) out[i] = colours_[in[i]];
    }
  }
  stale_ = false;
}

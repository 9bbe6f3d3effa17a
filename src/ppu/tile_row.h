// A tile row as the renderer and the name-table viewer use it: the two pattern planes of one row
// turned into two pixel-pair bytes, so that one test per pixel decides transparency and one test
// per row finds a wholly transparent row.
#pragma once

#include <array>
#include <bit>
#include <cstdint>

#include "cart/mapper.h"

// Bit order reversed, for horizontally mirrored sprites.
inline constexpr std::array<uint8_t, 256> kReversedBits = [] {
  std::array<uint8_t, 256> table{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t r = 0;
    for (uint32_t b = 0; b < 8; ++b) r |= ((i >> b) & 1) << (7 - b);
    table[i] = static_cast<uint8_t>(r);
  }
  return table;
}();

// 2-bit pixel values (0 = transparent): `even` holds pixels 0, 2, 4, 6 and `odd` pixels 1, 3, 5,
// 7, each starting from bits 7-6.
struct PixelPairs {
  uint8_t even;
  uint8_t odd;

  bool transparent() const { return (even | odd) == 0; }
  // Value of pixel k, 0 = leftmost.
  uint32_t pixel(uint32_t k) const {
    const uint8_t pair = (k & 1) ? odd : even;
    return (pair >> (6 - (k & 6))) & 3;
  }
};

inline PixelPairs ppu_pixel_pairs(uint8_t low, uint8_t high) {
  return {static_cast<uint8_t>(((low >> 1) & 0x55) | (high & 0xAA)),
          static_cast<uint8_t>(((high << 1) & 0xAA) | (low & 0x55))};
}

// The low plane of the tile row at a pattern address (the high plane is 8 bytes on), through
// 1 KB pattern pages indexed by address >> 10; a 16-byte tile never straddles a page.
inline const uint8_t* ppu_tile_planes(const uint8_t* const* pages, uint32_t address) {
  return pages[address >> 10] + (address & (kPpuPageSize - 1));
}

// The tile row at a pattern address. `mirrored` reverses the row left to right.
inline PixelPairs ppu_fetch_tile_row(const uint8_t* const* pages, uint32_t address,
                                     bool mirrored = false) {
  const uint8_t* p = ppu_tile_planes(pages, address);
  if (mirrored) return ppu_pixel_pairs(kReversedBits[p[0]], kReversedBits[p[8]]);
  return ppu_pixel_pairs(p[0], p[8]);
}

// A pattern plane as eight byte masks: byte k (in memory order, leftmost pixel first) is $FF
// where pixel k has the plane's bit set. Two lookups give a whole tile row's pixel values, and
// the colours follow with a few word operations instead of eight per-pixel extractions.
static_assert(std::endian::native == std::endian::little, "tile rows are stored as words");
inline constexpr std::array<uint64_t, 256> kPlaneMasks = [] {
  std::array<uint64_t, 256> table{};
  for (uint32_t i = 0; i < 256; ++i) {
    for (uint32_t k = 0; k < 8; ++k) {
      if ((i >> (7 - k)) & 1) table[i] |= uint64_t{0xFF} << (8 * k);
    }
  }
  return table;
}();

// The four colours of a tile row's pixel values 0-3, each repeated in all eight bytes.
struct RowColours {
  uint64_t value[4];
  void set(uint32_t v, uint8_t colour) { value[v] = colour * 0x0101010101010101ull; }
};

// The eight colour bytes of the row with pattern planes low and high, leftmost pixel first.
inline uint64_t ppu_row_colours(uint8_t low, uint8_t high, const RowColours& c) {
  const uint64_t l = kPlaneMasks[low], h = kPlaneMasks[high];
  return (c.value[0] & ~(l | h)) | (c.value[1] & l & ~h) | (c.value[2] & ~l & h) |
         (c.value[3] & l & h);
}

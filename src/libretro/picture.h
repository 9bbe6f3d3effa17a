// The frame buffer's colour indices as XRGB8888 pixels through one of the twelve palettes, for
// the front end. Most of a picture is the same from one frame to the next, so only the stretches
// of pixels whose indices changed since the last update are converted again; where the processor
// has AVX-512 VBMI or AVX2, with byte permutations or shuffles instead of one look-up a pixel.
#pragma once

#include <cstdint>

#include "machine/machine.h"

// The NTSC crop: lines 8-231.
inline constexpr uint32_t kCropTop = 8;
inline constexpr uint32_t kCroppedRows = 224;

class Picture {
 public:
  // Selects a palette (an index outside 0-11 selects palette 0).
  void set_palette(uint32_t index);
  // The next update converts every pixel.
  void invalidate() { stale_ = true; }
  // Brings the pixels up to date with a frame buffer of kFrameRows rows of kFrameRowBytes.
  void update(const uint8_t* frame_buffer);
  // Picks the fastest conversion the processor offers (at each game's load).
  void choose_way();
  // 256 pixels of row y; the rows follow each other.
  const uint32_t* row(uint32_t y) const { return pixels_ + y * kWidth; }

  static constexpr uint32_t kWidth = 256;
  static constexpr uint32_t kStretch = 32;  // the plain and AVX2 ways' unit; VBMI takes 64
  enum class Way : uint8_t { Plain, Avx2, Vbmi };

  // The palette as byte-shuffle tables: for blue, green and red, the 64 colours in four tables
  // of 16, and per quarter of the 256 indices 0xFF where it repeats the 64 colours, 0 where it
  // is black. Usable only where every quarter is one or the other (`shuffles_usable_`).
  struct Shuffles {
    uint8_t channel[3][4][16];
    uint8_t keep[64];  // entries 0-3 used; 64 bytes for the 512-bit load
  };

 private:
  uint32_t colours_[256] = {};
  Shuffles shuffles_ = {};
  bool shuffles_usable_ = false;
  uint8_t shown_[kFrameRows * kWidth] = {};  // the indices the pixels were converted from
  uint32_t pixels_[kFrameRows * kWidth] = {};
  uint32_t palette_ = ~0u;
  Way way_ = Way::Plain;
  bool stale_ = true;
};

// The frame buffer's colour indices as XRGB8888 pixels through one of the twelve palettes, for
// the front end. Most of a picture is the same from one frame to the next, so only the stretches
// of 16 pixels whose indices changed since the last update are converted again.
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
  // 256 pixels of row y; the rows follow each other.
  const uint32_t* row(uint32_t y) const { return pixels_ + y * kWidth; }

 private:
  static constexpr uint32_t kWidth = 256;
  static constexpr uint32_t kStretch = 16;
  uint32_t colours_[256] = {};
  uint8_t shown_[kFrameRows * kWidth] = {};  // the indices the pixels were converted from
  uint32_t pixels_[kFrameRows * kWidth] = {};
  uint32_t palette_ = ~0u;
  bool stale_ = true;
};

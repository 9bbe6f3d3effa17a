// Turning the emulator's frame buffer of colour indices into the 0x00RRGGBB picture the host
// shows: the colour lookup, and the scaling of that picture onto a canvas of the client area's
// shape with the chosen pixel aspect and filter (black bars where the picture does not reach).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "shell/plugin_api.h"

inline constexpr int kFrameWidth = 256;  // visible pixels of a frame-buffer row
inline constexpr int kFrameHeight = 240;
inline constexpr int kFrameStride = 272;  // bytes per frame-buffer row, slack included

using ColourTable = std::array<uint32_t, 256>;

// 0x00RRGGBB for each of the 256 entries of a colour table.
ColourTable colour_table_from_palette(const PaletteEntry* palette);

// The visible 256 × 240 pixels of the frame buffer through the colour table, rows top to bottom.
void convert_frame(const uint8_t* frame_buffer, const ColourTable& colours, uint32_t* out);

enum class ScaleFilter { Sharp, Smooth };
enum class PixelAspect { Square, Tv };  // Tv: 8:7 wide pixels, as a TV shows them

struct Rect {
  int x, y, width, height;
};

// The canvas handed to the host for a client area of client_width × client_height device
// pixels (0 × 0 when unknown: then the canvas is the picture at its natural height). Canvases
// larger than kMaxCanvasPixels are divided by the smallest whole factor that fits; the host
// scales the rest.
inline constexpr int kMaxCanvasPixels = 1920 * 1200;
Rect canvas_size(int client_width, int client_height, PixelAspect aspect);
// Where the picture goes on a canvas: the largest centred rectangle with the picture's shape.
Rect picture_rect(int canvas_width, int canvas_height, PixelAspect aspect);

// Scales one 256 × 240 frame into `dest` of a canvas (stride in pixels). Keeps the tables that
// depend only on the geometry, so that repeated frames of the same size cost only the pixels.
class FrameScaler {
 public:
  void scale(const uint32_t* frame, ScaleFilter filter, Rect dest, uint32_t* canvas,
             int canvas_stride);

 private:
  struct Tap {  // one output coordinate: two source coordinates and the weight of the second
    int first, second;
    uint32_t weight;  // 0..256
  };
  void prepare(ScaleFilter filter, int width, int height);
  void scale_sharp(const uint32_t* frame, uint32_t* out, int stride) const;
  void scale_smooth(const uint32_t* frame, uint32_t* out, int stride);

  ScaleFilter filter_ = ScaleFilter::Sharp;
  int width_ = 0, height_ = 0;
  std::vector<Tap> columns_, rows_;
  std::vector<uint32_t> widened_;  // smooth: each source row scaled to the output width
};

#include "video_qt/frame_scaler.h"

#include <algorithm>
#include <cstring>

namespace {

// The picture's shape as a ratio: 256 × 240 pixels, each 8/7 as wide as high on a TV.
struct Shape {
  int64_t width, height;
};
Shape picture_shape(PixelAspect aspect) {
  return aspect == PixelAspect::Tv ? Shape{kFrameWidth * 8, kFrameHeight * 7}
                                   : Shape{kFrameWidth, kFrameHeight};
}

int64_t rounded_div(int64_t a, int64_t b) { return (a + b / 2) / b; }

// Blends two 0x00RRGGBB pixels, weight 0..256 of the second; red and blue share one multiply.
inline uint32_t blend(uint32_t a, uint32_t b, uint32_t weight) {
  const uint32_t keep = 256 - weight;
  const uint32_t rb = (((a & 0xFF00FFu) * keep + (b & 0xFF00FFu) * weight) >> 8) & 0xFF00FFu;
  const uint32_t g = (((a & 0x00FF00u) * keep + (b & 0x00FF00u) * weight) >> 8) & 0x00FF00u;
  return rb | g;
}

}  // namespace

ColourTable colour_table_from_palette(const PaletteEntry* palette) {
  ColourTable colours{};
  for (size_t i = 0; i < colours.size(); ++i) {
    const PaletteEntry& e = palette[i];
    colours[i] = uint32_t{e.red} << 16 | uint32_t{e.green} << 8 | e.blue;
  }
  return colours;
}

void convert_frame(const uint8_t* frame_buffer, const ColourTable& colours, uint32_t* out) {
  for (int y = 0; y < kFrameHeight; ++y) {
    const uint8_t* row = frame_buffer + y * kFrameStride;
    uint32_t* dest = out + y * kFrameWidth;
    for (int x = 0; x < kFrameWidth; ++x) dest[x] = colours[row[x]];
  }
}

Rect canvas_size(int client_width, int client_height, PixelAspect aspect) {
  if (client_width <= 0 || client_height <= 0) {
    const Shape s = picture_shape(aspect);
    return {0, 0, static_cast<int>(rounded_div(kFrameHeight * s.width, s.height)), kFrameHeight};
  }
  int64_t w = client_width, h = client_height;
  for (int64_t n = 2; w * h > kMaxCanvasPixels; ++n) {
    w = std::max<int64_t>(1, client_width / n);
    h = std::max<int64_t>(1, client_height / n);
  }
  return {0, 0, static_cast<int>(w), static_cast<int>(h)};
}

Rect picture_rect(int canvas_width, int canvas_height, PixelAspect aspect) {
  const Shape s = picture_shape(aspect);
  int64_t w = canvas_width, h = canvas_height;
  if (w * s.height > h * s.width) {
    w = std::max<int64_t>(1, rounded_div(h * s.width, s.height));
  } else {
    h = std::max<int64_t>(1, rounded_div(w * s.height, s.width));
  }
  return {static_cast<int>((canvas_width - w) / 2), static_cast<int>((canvas_height - h) / 2),
          static_cast<int>(w), static_cast<int>(h)};
}

void FrameScaler::scale(const uint32_t* frame, ScaleFilter filter, Rect dest, uint32_t* canvas,
                        int canvas_stride) {
  if (dest.width <= 0 || dest.height <= 0) return;
  if (filter != filter_ || dest.width != width_ || dest.height != height_) {
    prepare(filter, dest.width, dest.height);
  }
  uint32_t* out = canvas + static_cast<size_t>(dest.y) * canvas_stride + dest.x;
  if (filter == ScaleFilter::Sharp) {
    scale_sharp(frame, out, canvas_stride);
  } else {
    scale_smooth(frame, out, canvas_stride);
  }
}

// Sharp takes the source pixel under each output pixel's centre. Smooth places the output
// centre among the source centres and blends the two neighbours on each axis.
void FrameScaler::prepare(ScaleFilter filter, int width, int height) {
  filter_ = filter;
  width_ = width;
  height_ = height;
  auto taps = [filter](int source, int size) {
    std::vector<Tap> t(size);
    for (int i = 0; i < size; ++i) {
      if (filter == ScaleFilter::Sharp) {
        const int s = static_cast<int>((2 * int64_t{i} + 1) * source / (2 * int64_t{size}));
        t[i] = {s, s, 0};
        continue;
      }
      const int64_t pos = std::max<int64_t>(0, (2 * int64_t{i} + 1) * source * 128 / size - 128);
      const int first = std::min(static_cast<int>(pos >> 8), source - 1);
      const uint32_t weight = first == source - 1 ? 0 : static_cast<uint32_t>(pos & 255);
      t[i] = {first, std::min(first + 1, source - 1), weight};
    }
    return t;
  };
  columns_ = taps(kFrameWidth, width);
  rows_ = taps(kFrameHeight, height);
  if (filter == ScaleFilter::Smooth) widened_.resize(static_cast<size_t>(kFrameHeight) * width);
}

// Sizes are copied to locals: the compiler cannot tell that the pixel stores leave them alone.
void FrameScaler::scale_sharp(const uint32_t* frame, uint32_t* out, int stride) const {
  const int width = width_, height = height_;
  for (int y = 0; y < height; ++y) {
    uint32_t* dest = out + static_cast<size_t>(y) * stride;
    if (y > 0 && rows_[y].first == rows_[y - 1].first) {
      std::memcpy(dest, dest - stride, width * sizeof(uint32_t));
      continue;
    }
    const uint32_t* src = frame + rows_[y].first * kFrameWidth;
    for (int x = 0; x < width; ++x) dest[x] = src[columns_[x].first];
  }
}

void FrameScaler::scale_smooth(const uint32_t* frame, uint32_t* out, int stride) {
  const int width = width_, height = height_;
  for (int y = 0; y < kFrameHeight; ++y) {
    const uint32_t* src = frame + y * kFrameWidth;
    uint32_t* wide = widened_.data() + static_cast<size_t>(y) * width;
    for (int x = 0; x < width; ++x) {
      const Tap& t = columns_[x];
      wide[x] = blend(src[t.first], src[t.second], t.weight);
    }
  }
  for (int y = 0; y < height; ++y) {
    const Tap t = rows_[y];
    const uint32_t* __restrict upper = widened_.data() + static_cast<size_t>(t.first) * width;
    const uint32_t* __restrict lower = widened_.data() + static_cast<size_t>(t.second) * width;
    uint32_t* __restrict dest = out + static_cast<size_t>(y) * stride;
    if (t.weight == 0) {
      std::memcpy(dest, upper, width * sizeof(uint32_t));
      continue;
    }
    for (int x = 0; x < width; ++x) dest[x] = blend(upper[x], lower[x], t.weight);
  }
}

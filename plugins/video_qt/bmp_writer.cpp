#include "video_qt/bmp_writer.h"

#include <cstdio>
#include <vector>

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;

// BMP fields are little-endian whatever the host.
void put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

}  // namespace

bool write_bmp(const char* file_name, const uint32_t* pixels, int width, int height, int stride) {
  if (!file_name || width <= 0 || height <= 0) return false;
  const uint32_t row_size = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
  const uint32_t image_size = row_size * static_cast<uint32_t>(height);
  const uint32_t offset = kFileHeaderSize + kInfoHeaderSize;

  std::vector<uint8_t> out;
  out.reserve(offset + image_size);
  out.push_back('B');
  out.push_back('M');
  put32(out, offset + image_size);  // file size
  put32(out, 0);                    // reserved
  put32(out, offset);               // where the pixels start
  put32(out, kInfoHeaderSize);
  put32(out, static_cast<uint32_t>(width));
  put32(out, static_cast<uint32_t>(height));  // positive: bottom-up
  put16(out, 1);                              // planes
  put16(out, 24);                             // bits per pixel
  put32(out, 0);                              // no compression
  put32(out, image_size);
  put32(out, 2835);  // 72 dots per inch, in pixels per metre
  put32(out, 2835);
  put32(out, 0);  // colours used: none (true colour)
  put32(out, 0);  // important colours: all

  for (int y = height - 1; y >= 0; --y) {
    const uint32_t* row = pixels + static_cast<size_t>(y) * stride;
    for (int x = 0; x < width; ++x) {
      out.push_back(static_cast<uint8_t>(row[x]));
      out.push_back(static_cast<uint8_t>(row[x] >> 8));
      out.push_back(static_cast<uint8_t>(row[x] >> 16));
    }
    out.resize(out.size() + (row_size - static_cast<uint32_t>(width) * 3), 0);
  }

  std::FILE* f = std::fopen(file_name, "wb");
  if (!f) return false;
  const bool written = std::fwrite(out.data(), 1, out.size(), f) == out.size();
  return std::fclose(f) == 0 && written;
}

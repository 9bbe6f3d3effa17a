#include "shell/headless/image_files.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace {

std::array<uint32_t, 256> make_crc_table() {
  std::array<uint32_t, 256> t{};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    t[n] = c;
  }
  return t;
}

uint32_t crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
  static const std::array<uint32_t, 256> table = make_crc_table();
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

void put_be32(std::vector<uint8_t>& out, uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) out.push_back(uint8_t(v >> s));
}

void put_le(std::vector<uint8_t>& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

void put_chunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& data) {
  put_be32(png, uint32_t(data.size()));
  const size_t start = png.size();
  png.insert(png.end(), type, type + 4);
  png.insert(png.end(), data.begin(), data.end());
  put_be32(png, crc32(png.data() + start, png.size() - start));
}

// A zlib stream of stored (uncompressed) deflate blocks: no compression library needed, and the
// files stay small enough for 256 × 240 pictures.
std::vector<uint8_t> zlib_stored(const std::vector<uint8_t>& data) {
  std::vector<uint8_t> z = {0x78, 0x01};
  size_t pos = 0;
  do {
    const size_t n = std::min<size_t>(65535, data.size() - pos);
    z.push_back(pos + n == data.size() ? 1 : 0);
    put_le(z, uint32_t(n), 2);
    put_le(z, uint32_t(~n & 0xFFFF), 2);
    z.insert(z.end(), data.begin() + long(pos), data.begin() + long(pos + n));
    pos += n;
  } while (pos < data.size());
  uint32_t a = 1, b = 0;
  for (uint8_t byte : data) a = (a + byte) % 65521, b = (b + a) % 65521;
  put_be32(z, (b << 16) | a);
  return z;
}

bool write_file(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace

bool write_png(const std::string& path, const std::vector<uint8_t>& rgb, uint32_t width,
               uint32_t height) {
  if (rgb.size() != size_t(width) * height * 3) return false;
  std::vector<uint8_t> raw;
  raw.reserve(size_t(height) * (width * 3 + 1));
  for (uint32_t y = 0; y < height; ++y) {
    raw.push_back(0);  // filter: none
    raw.insert(raw.end(), rgb.begin() + long(y) * width * 3, rgb.begin() + long(y + 1) * width * 3);
  }
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> ihdr;
  put_be32(ihdr, width);
  put_be32(ihdr, height);
  ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter set, no interlace
  put_chunk(png, "IHDR", ihdr);
  put_chunk(png, "IDAT", zlib_stored(raw));
  put_chunk(png, "IEND", {});
  return write_file(path, png);
}

bool write_wav(const std::string& path, const std::vector<uint8_t>& samples, uint32_t rate) {
  std::vector<uint8_t> w = {'R', 'I', 'F', 'F'};
  put_le(w, uint32_t(36 + samples.size()), 4);
  w.insert(w.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  put_le(w, 16, 4);
  put_le(w, 1, 2);     // PCM
  put_le(w, 1, 2);     // mono
  put_le(w, rate, 4);  // samples per second
  put_le(w, rate, 4);  // bytes per second
  put_le(w, 1, 2);     // block alignment
  put_le(w, 8, 2);     // bits per sample
  w.insert(w.end(), {'d', 'a', 't', 'a'});
  put_le(w, uint32_t(samples.size()), 4);
  w.insert(w.end(), samples.begin(), samples.end());
  return write_file(path, w);
}

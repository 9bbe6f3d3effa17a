#include "libretro/picture.h"

#include <cstdlib>
#include <cstring>

#include "ppu/palettes.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

using Shuffles = Picture::Shuffles;
constexpr uint32_t kWidth = Picture::kWidth;
constexpr uint32_t kStretch = Picture::kStretch;

// Copies the stretches of `in` that differ from `seen` (all when `all`) into `seen` and converts
// them into `out`, one look-up a pixel.
void update_rows_plain(const uint8_t* in, uint8_t* seen, uint32_t* out, const uint32_t* colours,
                       bool all) {
  for (uint32_t y = 0; y < kFrameRows; ++y, in += kFrameRowBytes, seen += kWidth, out += kWidth) {
    for (uint32_t x = 0; x < kWidth; x += kStretch) {
      if (!all && std::memcmp(in + x, seen + x, kStretch) == 0) continue;
      std::memcpy(seen + x, in + x, kStretch);
      for (uint32_t i = x; i < x + kStretch; ++i) out[i] = colours[in[i]];
    }
  }
}

#if defined(__x86_64__)
// The same with AVX2: per 32 pixels, each colour channel is picked from its four 16-entry tables
// by the index's low four bits (shuffles) and bits 4-5 (blends), and cleared where the index's
// quarter (bits 6-7) is black; the three channels are then interleaved into XRGB.
__attribute__((target("avx2"))) void update_rows_avx2(const uint8_t* in, uint8_t* seen,
                                                      uint32_t* out, const Shuffles& s, bool all) {
  __m256i table[3][4];
  for (int c = 0; c < 3; ++c) {
    for (int t = 0; t < 4; ++t) {
      table[c][t] = _mm256_broadcastsi128_si256(
          _mm_loadu_si128(reinterpret_cast<const __m128i*>(s.channel[c][t])));
    }
  }
  const __m256i keep =
      _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s.keep)));
  const __m256i low_nibble = _mm256_set1_epi8(0x0F);
  const __m256i two_bits = _mm256_set1_epi8(0x03);
  const __m256i zero = _mm256_setzero_si256();
  for (uint32_t y = 0; y < kFrameRows; ++y, in += kFrameRowBytes, seen += kWidth, out += kWidth) {
    for (uint32_t x = 0; x < kWidth; x += kStretch) {
      const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + x));
      auto* shown = reinterpret_cast<__m256i*>(seen + x);
      if (!all && _mm256_movemask_epi8(_mm256_cmpeq_epi8(v, _mm256_loadu_si256(shown))) == -1) {
        continue;
      }
      _mm256_storeu_si256(shown, v);
      const __m256i index = _mm256_and_si256(v, low_nibble);
      const __m256i bit4 = _mm256_slli_epi16(v, 3);  // bit 4 of each byte in its bit 7
      const __m256i bit5 = _mm256_slli_epi16(v, 2);
      const __m256i kept =
          _mm256_shuffle_epi8(keep, _mm256_and_si256(_mm256_srli_epi16(v, 6), two_bits));
      __m256i channel[3];
      for (int c = 0; c < 3; ++c) {
        const __m256i low = _mm256_blendv_epi8(_mm256_shuffle_epi8(table[c][0], index),
                                               _mm256_shuffle_epi8(table[c][1], index), bit4);
        const __m256i high = _mm256_blendv_epi8(_mm256_shuffle_epi8(table[c][2], index),
                                                _mm256_shuffle_epi8(table[c][3], index), bit4);
        channel[c] = _mm256_and_si256(_mm256_blendv_epi8(low, high, bit5), kept);
      }
      // Bytes blue, green, red, 0 per pixel; the unpacks work within each 128-bit half.
      const __m256i bg_low = _mm256_unpacklo_epi8(channel[0], channel[1]);
      const __m256i bg_high = _mm256_unpackhi_epi8(channel[0], channel[1]);
      const __m256i r0_low = _mm256_unpacklo_epi8(channel[2], zero);
      const __m256i r0_high = _mm256_unpackhi_epi8(channel[2], zero);
      const __m256i p0 = _mm256_unpacklo_epi16(bg_low, r0_low);    // pixels 0-3, 16-19
      const __m256i p1 = _mm256_unpackhi_epi16(bg_low, r0_low);    // 4-7, 20-23
      const __m256i p2 = _mm256_unpacklo_epi16(bg_high, r0_high);  // 8-11, 24-27
      const __m256i p3 = _mm256_unpackhi_epi16(bg_high, r0_high);  // 12-15, 28-31
      auto* o = reinterpret_cast<__m256i*>(out + x);
      _mm256_storeu_si256(o + 0, _mm256_permute2x128_si256(p0, p1, 0x20));
      _mm256_storeu_si256(o + 1, _mm256_permute2x128_si256(p2, p3, 0x20));
      _mm256_storeu_si256(o + 2, _mm256_permute2x128_si256(p0, p1, 0x31));
      _mm256_storeu_si256(o + 3, _mm256_permute2x128_si256(p2, p3, 0x31));
    }
  }
}

// The same with AVX-512 VBMI, 64 pixels at a time: one byte permutation per channel picks from
// all 64 colours at once. (GCC 12's AVX-512 headers start results from a deliberately
// uninitialised value, which its own warnings then report.)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
__attribute__((target("avx512f,avx512bw,avx512vbmi"))) void update_rows_vbmi(
    const uint8_t* in, uint8_t* seen, uint32_t* out, const Shuffles& s, bool all) {
  const __m512i blue = _mm512_loadu_si512(s.channel[0]);
  const __m512i green = _mm512_loadu_si512(s.channel[1]);
  const __m512i red = _mm512_loadu_si512(s.channel[2]);
  const __m512i keep = _mm512_loadu_si512(s.keep);
  const __m512i two_bits = _mm512_set1_epi8(0x03);
  const __m512i zero = _mm512_setzero_si512();
  for (uint32_t y = 0; y < kFrameRows; ++y, in += kFrameRowBytes, seen += kWidth, out += kWidth) {
    for (uint32_t x = 0; x < kWidth; x += 64) {
      const __m512i v = _mm512_loadu_si512(in + x);
      if (!all && _mm512_cmpneq_epi8_mask(v, _mm512_loadu_si512(seen + x)) == 0) continue;
      _mm512_storeu_si512(seen + x, v);
      const __m512i kept =
          _mm512_permutexvar_epi8(_mm512_and_si512(_mm512_srli_epi16(v, 6), two_bits), keep);
      const __m512i b = _mm512_and_si512(_mm512_permutexvar_epi8(v, blue), kept);
      const __m512i g = _mm512_and_si512(_mm512_permutexvar_epi8(v, green), kept);
      const __m512i r = _mm512_and_si512(_mm512_permutexvar_epi8(v, red), kept);
      // Unpacks work within each 128-bit quarter: p0 holds pixels 0-3, 16-19, 32-35, 48-51 ...
      const __m512i bg_low = _mm512_unpacklo_epi8(b, g), bg_high = _mm512_unpackhi_epi8(b, g);
      const __m512i r0_low = _mm512_unpacklo_epi8(r, zero), r0_high = _mm512_unpackhi_epi8(r, zero);
      const __m512i p0 = _mm512_unpacklo_epi16(bg_low, r0_low);
      const __m512i p1 = _mm512_unpackhi_epi16(bg_low, r0_low);
      const __m512i p2 = _mm512_unpacklo_epi16(bg_high, r0_high);
      const __m512i p3 = _mm512_unpackhi_epi16(bg_high, r0_high);
      // ... so the quarters are transposed into pixel order.
      const __m512i t0 = _mm512_shuffle_i64x2(p0, p1, 0x44),
                    t1 = _mm512_shuffle_i64x2(p2, p3, 0x44);
      const __m512i t2 = _mm512_shuffle_i64x2(p0, p1, 0xEE),
                    t3 = _mm512_shuffle_i64x2(p2, p3, 0xEE);
      uint32_t* o = out + x;
      _mm512_storeu_si512(o, _mm512_shuffle_i64x2(t0, t1, 0x88));
      _mm512_storeu_si512(o + 16, _mm512_shuffle_i64x2(t0, t1, 0xDD));
      _mm512_storeu_si512(o + 32, _mm512_shuffle_i64x2(t2, t3, 0x88));
      _mm512_storeu_si512(o + 48, _mm512_shuffle_i64x2(t2, t3, 0xDD));
    }
  }
}
#pragma GCC diagnostic pop
#endif

// The fastest way this processor has, capped by VANTRELL_PICTURE ("plain" or "avx2"), which
// lets the tests check every way on one machine.
Picture::Way best_way() {
  const char* cap = std::getenv("VANTRELL_PICTURE");
  if (cap && std::strcmp(cap, "plain") == 0) return Picture::Way::Plain;
#if defined(__x86_64__)
  if ((!cap || std::strcmp(cap, "avx2") != 0) && __builtin_cpu_supports("avx512bw") &&
      __builtin_cpu_supports("avx512vbmi")) {
    return Picture::Way::Vbmi;
  }
  if (__builtin_cpu_supports("avx2")) return Picture::Way::Avx2;
#endif
  return Picture::Way::Plain;
}

}  // namespace

void Picture::set_palette(uint32_t index) {
  if (index >= uint32_t(kPaletteCount)) index = 0;
  if (index == palette_) return;
  palette_ = index;
  const PaletteEntry* p = ppu_palettes[index];
  for (uint32_t i = 0; i < 256; ++i) {
    colours_[i] = uint32_t(p[i].red) << 16 | uint32_t(p[i].green) << 8 | p[i].blue;
  }
  shuffles_ = {};
  shuffles_usable_ = true;
  for (uint32_t i = 0; i < 64; ++i) {
    shuffles_.channel[0][i / 16][i % 16] = p[i].blue;
    shuffles_.channel[1][i / 16][i % 16] = p[i].green;
    shuffles_.channel[2][i / 16][i % 16] = p[i].red;
  }
  for (uint32_t q = 0; q < 4; ++q) {
    bool repeats = true, black = true;
    for (uint32_t i = 0; i < 64; ++i) {
      repeats = repeats && colours_[q * 64 + i] == colours_[i];
      black = black && colours_[q * 64 + i] == 0;
    }
    shuffles_.keep[q] = repeats ? 0xFF : 0;
    shuffles_usable_ = shuffles_usable_ && (repeats || black);
  }
  stale_ = true;
}

void Picture::choose_way() { way_ = best_way(); }

void Picture::update(const uint8_t* frame_buffer) {
  if (palette_ == ~0u) set_palette(0);
  const Way way = shuffles_usable_ ? way_ : Way::Plain;
  switch (way) {
#if defined(__x86_64__)
    case Way::Vbmi: update_rows_vbmi(frame_buffer, shown_, pixels_, shuffles_, stale_); break;
    case Way::Avx2: update_rows_avx2(frame_buffer, shown_, pixels_, shuffles_, stale_); break;
#endif
    default: update_rows_plain(frame_buffer, shown_, pixels_, colours_, stale_); break;
  }
  stale_ = false;
}

// Builds iNES images in memory for tests (written out with TempFile).
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "support/temp_files.h"

struct InesBuilder {
  uint8_t prg_banks = 1;  // 16 KB units
  uint8_t chr_banks = 1;  // 8 KB units
  uint8_t flags6 = 0;
  uint8_t flags7 = 0;
  uint8_t junk[8] = {};  // header bytes 8-15
  bool trainer = false;
  // Bytes placed over the PRG pattern: {offset into PRG ROM, bytes}.
  std::vector<std::pair<uint32_t, std::vector<uint8_t>>> prg_patches;

  InesBuilder() = default;
  // Sizes in 16 KB and 8 KB units, header bytes 6 and 7.
  InesBuilder(uint8_t prg, uint8_t chr, uint8_t f6 = 0, uint8_t f7 = 0)
      : prg_banks(prg), chr_banks(chr), flags6(f6), flags7(f7) {}
  static InesBuilder mapper(int number, int prg = 1, int chr = 1) {
    return InesBuilder(uint8_t(prg), uint8_t(chr), uint8_t(number << 4), uint8_t(number & 0xF0));
  }

  // Places bytes at a CPU address of the last 16 KB (where mapper 0 and most set-ups put the
  // reset code and the vectors) or, for addresses below $C000 with 32 KB, the first 16 KB.
  InesBuilder& at(uint16_t cpu_address, std::vector<uint8_t> bytes) {
    const uint32_t size = prg_banks * 16384u;
    const uint32_t offset = cpu_address >= 0xC000 ? size - 0x4000 + (cpu_address - 0xC000)
                                                  : (cpu_address - 0x8000) % size;
    prg_patches.push_back({offset, std::move(bytes)});
    return *this;
  }
  // Sets the reset, NMI and IRQ vectors.
  InesBuilder& vectors(uint16_t reset, uint16_t nmi = 0, uint16_t irq = 0) {
    return at(0xFFFA, {uint8_t(nmi), uint8_t(nmi >> 8), uint8_t(reset), uint8_t(reset >> 8),
                       uint8_t(irq), uint8_t(irq >> 8)});
  }

  // PRG byte i holds a pattern that names its 8 KB bank (i / 8192) and offset, so tests can tell
  // which bank a window shows: byte 0 of each 8 KB bank is the bank number.
  std::vector<uint8_t> build() const {
    std::vector<uint8_t> f(16);
    const uint8_t head[8] = {
        'N', 'E', 'S', 0x1A, prg_banks, chr_banks, uint8_t(flags6 | (trainer ? 4 : 0)), flags7};
    for (int i = 0; i < 8; ++i) f[i] = head[i], f[8 + i] = junk[i];
    if (trainer) {
      for (int i = 0; i < 512; ++i) f.push_back(uint8_t(0xA0 ^ i));
    }
    for (uint32_t i = 0; i < prg_banks * 16384u; ++i)
      f.push_back(i % 8192 == 0 ? uint8_t(i / 8192) : uint8_t(i * 7 + 1));
    const size_t prg_start = f.size() - prg_banks * 16384u;
    for (const auto& [offset, bytes] : prg_patches) {
      for (size_t i = 0; i < bytes.size(); ++i) f[prg_start + offset + i] = bytes[i];
    }
    // CHR: byte 0 of each 1 KB page is the page number.
    for (uint32_t i = 0; i < chr_banks * 8192u; ++i)
      f.push_back(i % 1024 == 0 ? uint8_t(0x80 | (i / 1024)) : uint8_t(i * 3));
    return f;
  }
};

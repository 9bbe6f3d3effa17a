// The 6502's registers and its register and flag arithmetic, shared by both CPUs: the classic
// interpreter (CpuRun) and the cycle-stepped one (HwCpu). Status is kept in parts so that the
// common instructions set N and Z with one store; pack_p and unpack_p convert to and from P.
#pragma once

#include <cstdint>

#include "cpu/cpu.h"

#if defined(_MSC_VER) && !defined(__clang__)
#define CPU_INLINE __forceinline
#else
#define CPU_INLINE [[gnu::always_inline]] inline
#endif

struct CpuAlu {
  uint8_t a, x, y, s;
  uint8_t n_src;   // N is bit 7 of n_src
  uint8_t z_src;   // Z is set when z_src is 0
  uint8_t flag_c;  // 0 or 1
  uint8_t flag_v;  // 0 or 1
  uint8_t p_rest;  // I, D, B and bit 5, in their places in p

  // --- Status ---

  CPU_INLINE void set_nz(uint8_t v) { n_src = z_src = v; }

  CPU_INLINE uint8_t pack_p() const {
    return uint8_t((n_src & kFlagN) | flag_v << 6 | p_rest | (z_src == 0) << 1 | flag_c);
  }

  CPU_INLINE void unpack_p(uint8_t p) {
    n_src = p & kFlagN;
    z_src = ~p & kFlagZ;
    flag_c = p & kFlagC;
    flag_v = (p >> 6) & 1;
    p_rest = p & (kFlagI | kFlagD | kFlagB | kFlag5);
  }

  // --- Instruction kinds: register and flag arithmetic only ---

  CPU_INLINE void adc(uint8_t v) {
    const unsigned sum = a + v + flag_c;
    flag_v = ((a ^ sum) & (v ^ sum) & 0x80) >> 7;
    flag_c = uint8_t(sum >> 8);
    set_nz(a = uint8_t(sum));
  }
  // A - M - (1 - C) is A + ~M + C; the D flag has no effect on either.
  CPU_INLINE void sbc(uint8_t v) { adc(uint8_t(~v)); }
  CPU_INLINE void compare(uint8_t reg, uint8_t v) {
    flag_c = reg >= v;
    set_nz(uint8_t(reg - v));
  }
  CPU_INLINE void bit(uint8_t v) {
    z_src = a & v;
    n_src = v;
    flag_v = (v >> 6) & 1;
  }
  CPU_INLINE uint8_t asl(uint8_t v) {
    flag_c = v >> 7;
    set_nz(v = uint8_t(v << 1));
    return v;
  }
  CPU_INLINE uint8_t lsr(uint8_t v) {
    flag_c = v & 1;
    set_nz(v = uint8_t(v >> 1));
    return v;
  }
  CPU_INLINE uint8_t rol(uint8_t v) {
    const uint8_t r = uint8_t(v << 1 | flag_c);
    flag_c = v >> 7;
    set_nz(r);
    return r;
  }
  CPU_INLINE uint8_t ror(uint8_t v) {
    const uint8_t r = uint8_t(v >> 1 | flag_c << 7);
    flag_c = v & 1;
    set_nz(r);
    return r;
  }
  CPU_INLINE uint8_t inc(uint8_t v) {
    set_nz(++v);
    return v;
  }
  CPU_INLINE uint8_t dec(uint8_t v) {
    set_nz(--v);
    return v;
  }
};

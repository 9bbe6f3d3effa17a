#include "shell/host_cpu.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(HostCpu, EveryCopyRoutineCopiesExactlyCountBytes) {
  for (BlockCopyFn copy : {block_copy_mmx, block_copy_fpu, block_copy_plain}) {
    std::vector<uint8_t> src(264), dst(264, 0xEE);
    for (size_t i = 0; i < src.size(); ++i) src[i] = uint8_t(i * 37 + 11);
    // All 64-bit patterns, including NaN-like ones, must survive the FPU round trip.
    for (int i = 0; i < 8; ++i) src[8 + i] = 0xFF, src[16 + i] = i == 7 ? 0x80 : 0x00;
    copy(dst.data() + 1, src.data() + 1, 256);  // unaligned on purpose
    EXPECT_EQ(dst[0], 0xEE);
    for (size_t i = 1; i <= 256; ++i) ASSERT_EQ(dst[i], src[i]) << i;
    for (size_t i = 257; i < dst.size(); ++i) EXPECT_EQ(dst[i], 0xEE);
  }
}

}  // namespace

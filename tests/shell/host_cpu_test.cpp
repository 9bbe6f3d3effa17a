#include "shell/host_cpu.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/recording_host.h"

namespace {

TEST(HostCpu, ReportLineByFamilyAndModel) {
  const std::pair<uint32_t, const char*> cases[] = {
      {0x0510, "Standard Pentium Proccessor Found! ( 60 or 66 Mhz ) \n"},
      {0x0520,
       "Standard Pentium Proccessor Found! ( 70, 90, 100, 120, 133, 150, 166 or 200 Mhz ) \n"},
      {0x0543, "MMX Pentium Proccessor Found! ( 70, 90, 100, 120, 133, 166 or 200 Mhz ) \n"},
      {0x0570, "Standard Pentium Proccessor Found! \n"},
      {0x0610, "Pentium Pro Proccessor Found!\n"},
      {0x0633, "Pentium II Proccessor Found!\n"},
      {0x0652, "Pentium II Proccessor Found!\n"},
      {0x0680, ""},
      {0x0F20, ""},
  };
  for (const auto& [signature, line] : cases) {
    const char* got = host_cpu_report_line(signature);
    EXPECT_STREQ(got ? got : "", line) << std::hex << signature;
  }
}

TEST(HostCpu, ChoiceFollowsFlagsAndReports) {
  RecordingHost rec;
  host_cpu_choose_copy();
  ASSERT_FALSE(rec.debug_lines.empty());
  if (has_mmx) {
    EXPECT_EQ(rec.debug_lines[0], "MMX Technology Detected! Using MMX Copy \n");
    EXPECT_EQ(block_copy, &block_copy_mmx);
  } else if (has_fpu) {
    EXPECT_EQ(rec.debug_lines[0], "FPU Detected! Using FPU Copy \n");
    EXPECT_EQ(block_copy, &block_copy_fpu);
  } else {
    EXPECT_EQ(rec.debug_lines[0], "Computer Sucks! Using standard memcopy \n");
    EXPECT_EQ(block_copy, &block_copy_plain);
  }
  EXPECT_EQ(host_cpu_signature() & ~0x3FFFu, 0u);
#if defined(__x86_64__)
  // Every x86-64 processor has both.
  EXPECT_EQ(has_mmx, 1);
  EXPECT_EQ(has_fpu, 1);
#endif
}

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

#include "shell/headless/cli_disasm.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/ines_builder.h"

namespace {

struct Output {
  int status;
  std::string out, err;
};

Output disasm(const std::vector<std::string>& args) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  return {cli_disasm(args, stdout, stderr), testing::internal::GetCapturedStdout(),
          testing::internal::GetCapturedStderr()};
}

// NROM-128: the 16 KB bank shows at $8000 and again at $C000, and ends at $FFFF.
InesBuilder cartridge_with_code() {
  InesBuilder b;
  b.at(0xC000, {0x20, 0x00, 0xC0, 0xC9, 0x05, 0x0A, 0x02, 0xD0, 0xFE});
  b.vectors(0xC000, 0xC000, 0x20C0);  // $FFFF holds $20, a JSR without its operand
  return b;
}

TEST(CliDisasm, PrintsAlignedLinesFromTheGivenAddress) {
  TempFile rom(cartridge_with_code().build());
  const Output o = disasm({rom.path(), "--from", "c000", "--count", "5"});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out,
            "C000  20 00 C0  JSR $C000\n"
            "C003  C9 05     CMP #$05\n"
            "C005  0A        ASL a\n"
            "C006  02        ???\n"
            "C007  D0 FE     BNE $C007\n");
}

// By default from $8000 until $FFFF is passed: the last instruction reaches past it.
TEST(CliDisasm, RunsFrom8000UntilFfffIsPassedAndMarksMissingBytes) {
  TempFile rom(cartridge_with_code().build());
  const Output o = disasm({rom.path()});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out.substr(0, 6), "8000  ");
  EXPECT_TRUE(o.out.ends_with("\nFFFF  20 ?? ??  JSR $????\n")) << o.out.substr(o.out.size() - 80);
}

TEST(CliDisasm, WrongUsageAndLoadFailures) {
  TempFile rom(cartridge_with_code().build());
  const std::vector<std::string> wrong[] = {
      {rom.path(), "--from"},        {rom.path(), "--from", "7FFF"}, {rom.path(), "--count", "-1"},
      {rom.path(), "--frames", "1"}, {rom.path(), "other.nes"},      {}};
  for (const auto& args : wrong) {
    const Output o = disasm(args);
    EXPECT_EQ(o.status, 2) << testing::PrintToString(args);
    EXPECT_EQ(o.out, "");
    EXPECT_NE(o.err, "");
  }
  const Output missing = disasm({"/nonexistent/game.nes"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "File I/O Error: Failed To Open ROM Image\n");
}

}  // namespace

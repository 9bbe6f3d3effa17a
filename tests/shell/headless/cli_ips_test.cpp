#include "shell/headless/cli_ips.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "support/ines_builder.h"
#include "support/ips_builder.h"
#include "support/recording_host.h"

namespace {

const std::vector<uint8_t> kTarget = {1, 2, 3, 4, 5, 6, 7, 8};

// Applied quietly: nothing printed, no boxes reach the host in force, which is back afterwards.
TEST(CliIps, AppliesAGoodPatchSilently) {
  TempFile patch(IpsBuilder().data(1, {0xAA}).end().number(9, 3).bytes, "p.ips"), target(kTarget);
  RecordingHost rec;
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  EXPECT_EQ(cli_ips({patch.path(), target.path()}), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr() + testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(read_file(target.path()), (std::vector<uint8_t>{1, 0xAA, 3, 4, 5, 6, 7, 8, 0}));
  EXPECT_TRUE(rec.messages.empty());
  EXPECT_EQ(&host(), &rec);
}

// A bad patch is refused whole (even the records before a truncated one are not written) with the
// patcher's text (its texts are the patcher's tests), and wrong usage exits with 2.
TEST(CliIps, RefusesBadPatchesAndWrongUsage) {
  const std::string missing =
      (std::filesystem::temp_directory_path() / "vantrell_cli_ips_missing").string();
  std::filesystem::remove(missing);
  TempFile truncated(IpsBuilder().data(0, {9, 9}).data(4, {7, 7, 7}).cut(1).bytes, "t.ips");
  TempFile good(IpsBuilder().data(0, {9}).end().bytes, "g.ips"), target(kTarget);
  const std::tuple<std::vector<std::string>, int, std::string> cases[] = {
      {{truncated.path(), target.path()}, 1, "vantrell-cli: Unexpected Error: End of File.\n"},
      {{good.path(), missing}, 1, "vantrell-cli: Failed to open file!\n"},
      {{good.path()}, 2, "Usage: vantrell-cli ips PATCH FILE"},
      {{good.path(), target.path(), "c"}, 2, "Usage: vantrell-cli ips PATCH FILE"},
      {{"--dry-run", target.path()}, 2, "Usage: vantrell-cli ips PATCH FILE"},
  };
  for (const auto& [args, status, message] : cases) {
    SCOPED_TRACE(testing::PrintToString(args));
    testing::internal::CaptureStderr();
    EXPECT_EQ(cli_ips(args), status);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(status == 1 ? err : err.substr(0, 34), message);
    EXPECT_EQ(read_file(target.path()), kTarget);
    EXPECT_FALSE(std::filesystem::exists(missing));
  }
}

}  // namespace

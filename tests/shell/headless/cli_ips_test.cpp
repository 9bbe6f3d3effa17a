#include "shell/headless/cli_ips.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/ines_builder.h"
#include "support/ips_builder.h"
#include "support/recording_host.h"

namespace {

const std::vector<uint8_t> kTarget = {1, 2, 3, 4, 5, 6, 7, 8};

// Applied quietly: no boxes reach the host in force, which is back in place afterwards.
TEST(CliIps, AppliesAGoodPatchSilently) {
  TempFile patch(IpsBuilder().data(1, {0xAA}).run(6, 3, 0xFF).end().number(9, 3).bytes, "p.ips");
  TempFile target(kTarget);
  RecordingHost rec;
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  EXPECT_EQ(cli_ips({patch.path(), target.path()}), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(file_bytes(target.path()),
            (std::vector<uint8_t>{1, 0xAA, 3, 4, 5, 6, 0xFF, 0xFF, 0xFF}));
  EXPECT_TRUE(rec.messages.empty());
  EXPECT_EQ(&host(), &rec);
}

// A bad patch is refused whole: even the records before a truncated one are not written.
TEST(CliIps, RefusesABadPatchAndLeavesTheFileUntouched) {
  const std::string missing =
      (std::filesystem::temp_directory_path() / "vantrell_cli_ips_missing").string();
  std::filesystem::remove(missing);
  TempFile truncated(IpsBuilder().data(0, {9, 9}).data(4, {7, 7, 7}).cut(1).bytes, "t.ips");
  TempFile good(IpsBuilder().data(0, {9}).end().bytes, "g.ips");
  TempFile target(kTarget);
  const struct {
    std::string patch;
    std::string target;
    const char* message;
  } cases[] = {
      {truncated.path(), target.path(), "Unexpected Error: End of File."},
      {missing, target.path(), "Failed to open file!"},
      {good.path(), missing, "Failed to open file!"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    testing::internal::CaptureStderr();
    EXPECT_EQ(cli_ips({c.patch, c.target}), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              std::string("vantrell-cli: ") + c.message + "\n");
    EXPECT_EQ(file_bytes(target.path()), kTarget);
    EXPECT_FALSE(std::filesystem::exists(missing));
  }
}

TEST(CliIps, WrongUsageExitsWith2) {
  const std::vector<std::vector<std::string>> cases = {
      {}, {"a.ips"}, {"a.ips", "b.nes", "c"}, {"--dry-run", "b.nes"}};
  for (const auto& args : cases) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(cli_ips(args), 2) << args.size() << " words";
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Usage: vantrell-cli ips PATCH FILE"),
              std::string::npos);
  }
}

}  // namespace

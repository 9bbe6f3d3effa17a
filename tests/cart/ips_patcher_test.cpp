#include "cart/ips_patcher.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/ines_builder.h"
#include "support/ips_builder.h"
#include "support/recording_host.h"

namespace {

const std::string kApplying = "Patching.|Applying Patch.|i",
                  kDone = "Done.|Finished Patching file.|i",
                  kOpenFailed = "File Error.|Failed to open file!|!",
                  kInvalid = "File Error.|Invalid IPS file.|!",
                  kEnd = "File Error.|Unexpected Error: End of File.|!";

const std::vector<uint8_t> kBadMagic = {'P', 'A', 'T', 'C', '?', 'E', 'O', 'F'};

std::vector<uint8_t> counting(size_t n) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = uint8_t(i + 1);
  return v;
}

// v with bytes written at `at`, grown with zeros when they reach past its end.
std::vector<uint8_t> with(std::vector<uint8_t> v, size_t at, const std::vector<uint8_t>& bytes) {
  if (v.size() < at + bytes.size()) v.resize(at + bytes.size());
  std::copy(bytes.begin(), bytes.end(), v.begin() + std::ptrdiff_t(at));
  return v;
}

// Each patch is applied to its target; the whole-patch check must give the same verdict that
// applying reports, without needing the target.
TEST(IpsPatcher, AppliesRecordsInOrderAndReportsFailures) {
  using B = IpsBuilder;
  const std::vector<uint8_t> t16 = counting(16), t4 = counting(4), t32 = counting(32);
  const struct {
    const char* name;
    std::vector<uint8_t> patch, target, patched;
    IpsError error = IpsError::None;
  } cases[] = {
      {"data", B().data(2, {0xAA, 0xBB}).end().bytes, t16, with(t16, 2, {0xAA, 0xBB})},
      {"run", B().run(0x10, 4, 0xFF).end().bytes, t32, with(t32, 0x10, {0xFF, 0xFF, 0xFF, 0xFF})},
      {"run of 0", B().run(3, 0, 0x55).end().bytes, t16, t16},
      {"run of 0 past the end", B().run(20, 0, 0x55).end().bytes, t16, with(t16, 20, {})},
      {"data past the end", B().data(8, {1, 2}).end().bytes, t4, with(t4, 8, {1, 2})},
      {"data across the end", B().data(2, {9, 9, 9, 9}).end().bytes, t4, with(t4, 2, {9, 9, 9, 9})},
      {"later records see the raised length", B().data(8, {1}).data(6, {7}).end().bytes, t4,
       with(with(t4, 8, {1}), 6, {7})},
      {"PATCH then EOF", B().end().bytes, t16, t16},
      {"length after EOF truncates", B().data(1, {0xEE}).end().number(3, 3).bytes, t16,
       with(counting(3), 1, {0xEE})},
      {"length after EOF extends", B().end().number(0x4010, 3).bytes, t4, with(t4, 0x4010, {})},
      {"a partial length after EOF is ignored", B().end().number(0, 2).bytes, t16, t16},
      {"PATC and not H", kBadMagic, t16, t16, IpsError::InvalidFile},
      {"shorter than the magic", {'P', 'A', 'T'}, t16, t16, IpsError::InvalidFile},
      {"ends before EOF", B().data(0, {0xEE}).bytes, t16, with(t16, 0, {0xEE}),
       IpsError::UnexpectedEnd},
      {"ends inside an offset", B().number(1, 2).bytes, t16, t16, IpsError::UnexpectedEnd},
      {"ends inside data", B().data(0, {0xA, 0xB}).data(8, {7, 8, 9}).cut(1).bytes, t16,
       with(with(t16, 0, {0xA, 0xB}), 8, {7, 8}), IpsError::UnexpectedEnd},
      {"ends inside a run", B().run(20, 4, 0xFF).cut(1).bytes, t16, t16, IpsError::UnexpectedEnd},
      {"ends after a size past the end", B().data(20, {1, 2}).cut(2).bytes, t16, with(t16, 20, {}),
       IpsError::UnexpectedEnd},
  };
  const std::vector<std::string> boxes[] = {
      {kApplying, kDone}, {kOpenFailed}, {kInvalid}, {kApplying, kEnd}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempFile patch(c.patch, "patch.ips"), target(c.target);
    EXPECT_EQ(ips_check(patch.path()), c.error);
    RecordingHost rec;
    EXPECT_EQ(IpsPatcher().ips_apply(patch.path(), target.path()),
              c.error == IpsError::None ? 0 : 1);
    EXPECT_EQ(read_file(target.path()), c.patched);
    EXPECT_EQ(rec.shown(), boxes[int(c.error)]);
  }
}

// The patch is opened and its magic checked before the target is opened; a missing target is
// never created.
TEST(IpsPatcher, MissingFilesFailBeforeAnyWrite) {
  const auto missing = [](const char* name) {
    const auto p = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove(p);
    return p.string();
  };
  const std::string no_patch = missing("vantrell_ips_no.ips"),
                    no_target = missing("vantrell_no.nes");
  TempFile good(IpsBuilder().data(0, {1}).end().bytes, "good.ips"), bad(kBadMagic, "bad.ips");
  TempFile target(counting(8));
  const std::tuple<std::string, std::string, std::string> cases[] = {
      // patch, file, box
      {no_patch, target.path(), kOpenFailed},
      {".", target.path(), kOpenFailed},  // a directory is no patch
      {good.path(), no_target, kOpenFailed},
      {bad.path(), no_target, kInvalid},
  };
  for (const auto& [patch, file, box] : cases) {
    SCOPED_TRACE(patch + " -> " + file);
    RecordingHost rec;
    EXPECT_EQ(IpsPatcher().ips_apply(patch.c_str(), file.c_str()), 1);
    EXPECT_EQ(rec.shown(), std::vector<std::string>{box});
    EXPECT_EQ(read_file(target.path()), counting(8));
    EXPECT_FALSE(std::filesystem::exists(no_target));
  }
  EXPECT_EQ(ips_check(no_patch.c_str()), IpsError::OpenFailed);
}

}  // namespace

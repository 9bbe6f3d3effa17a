// The battery save file: only whole saves are read, a failed write keeps the previous save.
#include "state/battery.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/temp_files.h"

namespace {

namespace fs = std::filesystem;

void write_bytes(const fs::path& path, size_t size, uint8_t value) {
  std::ofstream(path, std::ios::binary) << std::string(size, char(value));
}

TEST(BatteryFile, OnlyAWholeRegularFileIsRead) {
  TempDir temp;
  const fs::path& dir = temp.path();
  write_bytes(dir / "short.sav", kBatteryRamSize - 1, 1);
  write_bytes(dir / "long.sav", kBatteryRamSize + 1, 1);
  write_bytes(dir / "whole.sav", kBatteryRamSize, 0x5A);
  fs::create_directory(dir / "folder.sav");
  ASSERT_EQ(mkfifo((dir / "fifo.sav").c_str(), 0600), 0);  // must not block the start
  const std::pair<const char*, BatteryFileResult> kCases[] = {
      {"missing.sav", BatteryFileResult::Missing}, {"short.sav", BatteryFileResult::WrongSize},
      {"long.sav", BatteryFileResult::WrongSize},  {"folder.sav", BatteryFileResult::ReadError},
      {"fifo.sav", BatteryFileResult::ReadError},  {"whole.sav", BatteryFileResult::Ok},
  };
  for (const auto& [name, result] : kCases) {
    std::vector<uint8_t> ram(kBatteryRamSize, 0xEE);
    EXPECT_EQ(battery_read_file((dir / name).string(), ram.data()), result) << name;
    const uint8_t expected = result == BatteryFileResult::Ok ? 0x5A : 0xEE;
    EXPECT_EQ(ram.front(), expected) << name;
    EXPECT_EQ(ram.back(), expected) << name;
  }
}

TEST(BatteryFile, AFailedWriteKeepsThePreviousSaveWhole) {
  TempDir temp;
  const fs::path& dir = temp.path();
  const std::string path = (dir / "deep" / "game.sav").string();
  std::vector<uint8_t> ram(kBatteryRamSize, 0x11);
  ASSERT_TRUE(battery_write_file(path, ram.data()));  // creates the folder

  // A disk that fills up part way through the write: the file size limit stops it at 4 KB.
  ram.assign(kBatteryRamSize, 0x22);
  struct rlimit old_limit {};
  getrlimit(RLIMIT_FSIZE, &old_limit);
  struct rlimit small = old_limit;
  small.rlim_cur = 4096;
  auto* old_handler = std::signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &small);
  const bool written = battery_write_file(path, ram.data());
  setrlimit(RLIMIT_FSIZE, &old_limit);
  std::signal(SIGXFSZ, old_handler);
  EXPECT_FALSE(written);

  std::vector<uint8_t> read(kBatteryRamSize);
  ASSERT_EQ(battery_read_file(path, read.data()), BatteryFileResult::Ok);
  EXPECT_EQ(read, std::vector<uint8_t>(kBatteryRamSize, 0x11));
  EXPECT_FALSE(fs::exists(path + ".tmp"));

  ASSERT_TRUE(battery_write_file(path, ram.data()));
  ASSERT_EQ(battery_read_file(path, read.data()), BatteryFileResult::Ok);
  EXPECT_EQ(read, ram);
}

}  // namespace

// Battery saves end to end: the battery cartridge counts its power-ons in battery RAM, so each
// run through the core or vantrell-cli sees one more than the last, as long as the save lasts.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "state/battery.h"
#include "support/temp_files.h"
#include "support/rom_runner.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr uint16_t kResult = 0x0300, kCount = 0x0301;

// Starts vantrell-cli run with the arguments; returns the child's pid.
pid_t spawn_cli(std::vector<std::string> args) {
  args.insert(args.begin(), {VANTRELL_CLI, "run"});
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  EXPECT_EQ(posix_spawn(&pid, VANTRELL_CLI, nullptr, nullptr, argv.data(), environ), 0);
  return pid;
}

// True once the process has a handler for SIGTERM (the SigCgt mask of /proc/PID/status).
bool catches_sigterm(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("SigCgt:", 0) == 0) {
      return (std::stoull(line.substr(7), nullptr, 16) >> (SIGTERM - 1)) & 1;
    }
  }
  return false;
}

int wait_status(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
}

// The count the cartridge reported in a CLI run's memory dump (0 when it did not finish).
uint8_t cli_count(const fs::path& dir, const std::string& options) {
  const fs::path ram = dir / "ram.bin";
  const std::string command = std::string(VANTRELL_CLI) + " run " + rom_path("battery") +
                              " --frames 3 --ram " + ram.string() + " " + options + " 2>" +
                              (dir / "stderr.txt").string();
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  const std::vector<uint8_t> memory = read_file(ram.string());
  return memory.size() > kCount && memory[kResult] == 1 ? memory[kCount] : 0;
}

struct BatteryRom : ::testing::Test {
  void TearDown() override { battery_config = {}; }
  TempDir temp;  // one per test: ctest runs the tests of this suite side by side
  const fs::path dir = temp.path();
  const fs::path saves = dir / "saves";
  const fs::path save = saves / "battery.sav";
};

TEST_F(BatteryRom, TheCountSurvivesRunsOfTheCoreAndTheTool) {
  battery_config = {true, saves.string()};
  for (uint8_t expected : {1, 2}) {
    const RomRun run = run_rom("battery", 3);
    ASSERT_EQ(run.memory[kResult], 1);
    EXPECT_EQ(run.memory[kCount], expected);
  }
  EXPECT_EQ(cli_count(dir, "--save-dir " + saves.string()), 3);
  const std::vector<uint8_t> kept = read_file(save.string());
  ASSERT_EQ(kept.size(), kBatteryRamSize);
  EXPECT_EQ(kept.back(), 3);  // $7FFF: the whole RAM is kept

  // --no-battery neither reads nor writes; a cartridge without the flag never makes a file.
  EXPECT_EQ(cli_count(dir, "--no-battery"), 1);
  EXPECT_EQ(read_file(save.string()), kept);
  run_rom("cheat_target", 3);
  EXPECT_EQ(std::distance(fs::directory_iterator(saves), fs::directory_iterator()), 1);
}

TEST_F(BatteryRom, ASaveOfTheWrongSizeIsReportedAndLeftAlone) {
  fs::create_directories(saves);
  std::ofstream(save, std::ios::binary) << std::string(100, 'x');
  EXPECT_EQ(cli_count(dir, "--save-dir " + saves.string()), 1);
  const std::vector<uint8_t> err = read_file((dir / "stderr.txt").string());
  EXPECT_NE(std::string(err.begin(), err.end()).find("not 8192 bytes"), std::string::npos);
  EXPECT_EQ(read_file(save.string()), std::vector<uint8_t>(100, 'x'));
}

TEST_F(BatteryRom, ASignalEndsTheToolsRunWithItsFilesWritten) {
  const fs::path png = dir / "last.png";
  const pid_t pid = spawn_cli({rom_path("battery"), "--frames", "100000000", "--png", png.string(),
                               "--save-dir", saves.string()});
  // Signal once the tool catches SIGTERM and the game has had time for its first frames.
  for (int i = 0; i < 500 && !catches_sigterm(pid); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  kill(pid, SIGTERM);
  EXPECT_EQ(wait_status(pid), 128 + SIGTERM);
  EXPECT_GT(fs::file_size(png), 0u);
  ASSERT_TRUE(fs::exists(save));
  EXPECT_EQ(read_file(save.string())[4], 1);
}

}  // namespace

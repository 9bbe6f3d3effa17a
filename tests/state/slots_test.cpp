#include "state/slots.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "shell/registry.h"
#include "support/running_game.h"

namespace {

// Answers the file dialogs with `chosen` (empty: cancel) and records how each was asked.
class DialogHost : public RecordingHost {
 public:
  char* file_open_dialog(const char* title, const FileFilter* filters, int count,
                         const char* dir) override {
    return answer("open", title, filters, count, dir);
  }
  char* file_save_dialog(const char* title, const FileFilter* filters, int count,
                         const char* dir) override {
    return answer("save", title, filters, count, dir);
  }
  char* answer(std::string line, const char* title, const FileFilter* filters, int count,
               const char* dir) {
    line = line + "|" + title + "|" + dir;
    for (int i = 0; i < count; ++i)
      line = line + "|" + filters[i].description + "|" + filters[i].pattern;
    asked.push_back(line);
    if (chosen.empty()) return nullptr;
    char* path = new char[kFileDialogPathSize]();
    std::strncpy(path, chosen.c_str(), kFileDialogPathSize - 1);
    return path;
  }

  std::string chosen;
  std::vector<std::string> asked;
};

class StateSlots : public RunningGameTest<DialogHost> {
 protected:
  void SetUp() override {
    RunningGameTest::SetUp();
    registry_set_string(kRegistryOptions, "StateDirectory", dir_.path().c_str());
  }
  void TearDown() override {
    RunningGameTest::TearDown();
    state_select_slot(0);
  }

  TempDir dir_;
};

TEST_F(StateSlots, CommandsDoNothingWithoutAGame) {
  ASSERT_EQ(emu_stop, 1);
  host_.chosen = dir_ / "picked.ss";
  for (auto command : {state_quick_save, state_quick_load, state_save_dialog, state_load_dialog})
    command();
  EXPECT_TRUE(std::filesystem::is_empty(dir_.path()));
  EXPECT_TRUE(host_.asked.empty());
  EXPECT_TRUE(host_.messages.empty());
  EXPECT_EQ(emu_requests, 0);
}

TEST_F(StateSlots, QuickSlotsSaveAndLoadInTheStateDirectory) {
  start();
  const auto cwd = std::filesystem::current_path();
  poke(0x300, 0xAB);
  state_select_slot(3);
  state_quick_save();
  EXPECT_EQ(read_file(dir_ / "saveslot.ss3").size(), kSnssFileSize);
  EXPECT_EQ(std::filesystem::current_path(), cwd);
  EXPECT_EQ(emu_requests & REQUEST_PAUSE, 0);

  poke(0x300, 0);
  state_quick_load();
  EXPECT_EQ(peek(0x300), 0xAB);
  EXPECT_TRUE(host_.messages.empty());

  state_select_slot(4);  // never saved
  state_quick_load();
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].text, "Failed To Open State");

  // A state directory that cannot be entered leaves the current directory in use.
  TempDir elsewhere;
  std::filesystem::current_path(elsewhere.path());
  registry_set_string(kRegistryOptions, "StateDirectory", (dir_ / "missing").c_str());
  state_quick_save();
  std::filesystem::current_path(cwd);
  EXPECT_EQ(read_file(elsewhere / "saveslot.ss4").size(), kSnssFileSize);
}

TEST_F(StateSlots, DialogsOfferStateFilesAndUseTheChosenPath) {
  start();
  poke(0x301, 0x5C);
  host_.chosen = dir_ / "mine";
  state_save_dialog();
  EXPECT_EQ(read_file(dir_ / "mine.ss0").size(), kSnssFileSize);

  poke(0x301, 0);
  host_.chosen = dir_ / "mine.ss0";
  state_load_dialog();
  EXPECT_EQ(peek(0x301), 0x5C);

  host_.chosen.clear();  // cancelled: nothing happens
  state_load_dialog();
  const std::string how = "|Vantrell - Save State|" + dir_.path().string() +
                          "|SNSS File (*.ss*)|*.ss*|All Files (*.*)|*.*";
  EXPECT_EQ(host_.asked, (std::vector<std::string>{"save" + how, "open" + how, "open" + how}));
  EXPECT_TRUE(host_.messages.empty());
  EXPECT_EQ(emu_requests & REQUEST_PAUSE, 0);
}

}  // namespace

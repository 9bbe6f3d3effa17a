#include "shell/qt/dialogs/ips_patcher_dialog.h"

#include <QDir>
#include <QGroupBox>
#include <QPushButton>
#include <tuple>

#include "gui/dialog_test_support.h"
#include "support/ines_builder.h"
#include "support/ips_builder.h"

namespace {

// The boxes shown: the dialog's own (owned by it) as "caption|text", with "|i" for the
// information icon; the patcher's own reports (without owner) as "patcher".
std::vector<std::string> shown() {
  std::vector<std::string> out;
  for (const auto& b : test_host().shown_boxes()) {
    const char* icon = b.icon == MessageIcon::Information ? "|i" : "";
    out.push_back(b.owned ? b.caption + "|" + b.text + icon : "patcher");
  }
  return out;
}

TEST(IpsPatcherDialog, OpensWithItsTextsAndBrowseFillsOrEmptiesTheEdits) {
  IpsPatcherDialog d;
  EXPECT_EQ(d.findChild<QGroupBox*>()->title(), "Apply a Patch:");
  EXPECT_EQ(texts_of(&d, {1019, 1024, 1017, 1025, 1020, kIdOk}),
            "Choose an IPS file.|Choose a file to be patched.|...|...|Apply|Dismiss");
  EXPECT_TRUE(dialog_control_as<QPushButton>(&d, 1020)->isDefault());

  // The Browse button, its edit, and the file dialog's title and filter.
  const std::tuple<int, int, std::string, std::string> cases[] = {
      {1017, 1019, "Vantrell - Load IPS File", "IPS File (*.ips);;All Files (*.*)"},
      {1025, 1024, "Vantrell - Load File", "NES ROM Image (*.nes);;All Files (*.*)"},
  };
  for (const auto& [button, edit, title, filter] : cases) {
    SCOPED_TRACE(title);
    test_host().clear_records();
    test_host().script_file_dialog(std::string("/patches/chosen file"));
    test_host().script_file_dialog(std::nullopt);
    click(&d, button);
    EXPECT_EQ(text_of(&d, edit), "/patches/chosen file");
    click(&d, button);
    EXPECT_EQ(text_of(&d, edit), "");
    const auto calls = test_host().file_dialog_calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].title, title);
    EXPECT_EQ(calls[0].filter, filter);
    EXPECT_EQ(calls[0].directory, QDir::currentPath().toStdString()) << "no initial directory";
  }
}

// Each empty edit is pointed out, then the patcher runs on the texts regardless: the opening
// texts are tried as file names.
TEST(IpsPatcherDialog, ApplyPointsOutEmptyEditsThenTriesTheTexts) {
  const std::string no_ips = "Error.|Please select an IPS File.|i",
                    no_target = "Error.|Please select a file to patch.|i";
  const std::tuple<const char*, const char*, std::vector<std::string>> cases[] = {
      {"", "", {no_ips, no_target, "patcher"}},
      {"", "/no/file", {no_ips, "patcher"}},
      {nullptr, nullptr, {"patcher"}},  // as opened
  };
  for (const auto& [ips, target, boxes] : cases) {
    test_host().clear_records();
    IpsPatcherDialog d;
    if (ips) set_text(&d, 1019, ips);
    if (target) set_text(&d, 1024, target);
    click(&d, 1020);
    EXPECT_EQ(shown(), boxes);
    EXPECT_EQ(d.result(), 0) << "Apply leaves the dialog open";
  }
}

// The chosen files are patched in place record by record: a patch cut inside its second record
// keeps what it wrote before.
TEST(IpsPatcherDialog, PatchesTheChosenFileRecordByRecordUntilDismissed) {
  test_host().clear_records();
  TempFile patch(IpsBuilder().data(1, {0xAA}).data(3, {7, 7}).cut(1).bytes, "p.ips"),
      target({1, 2, 3, 4});
  test_host().script_file_dialog(std::string(patch.path()));
  test_host().script_file_dialog(std::string(target.path()));
  ModalAnswer<QDialog> answer([](QDialog* d) {
    for (int id : {1017, 1025, 1020, kIdOk}) click(d, id);
  });
  EXPECT_EQ(ips_patcher_dialog_exec(nullptr), kIdOk);
  EXPECT_EQ(read_file(target.path()), (std::vector<uint8_t>{1, 0xAA, 3, 7}));
  EXPECT_EQ(shown(), (std::vector<std::string>{"patcher", "patcher"}));
}

}  // namespace

#include "shell/qt/dialogs/ips_patcher_dialog.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include "gui/dialog_test_support.h"
#include "gui/main_window_test_support.h"
#include "support/ines_builder.h"
#include "support/ips_builder.h"

namespace {

QLineEdit* edit(QWidget* d, int id) { return dialog_control_as<QLineEdit>(d, id); }
QString text(QWidget* d, int id) { return dialog_control_as<QAbstractButton>(d, id)->text(); }

// Each box as "caption|text", with "|i" for the information icon and "|owned" when the dialog
// owns it.
std::vector<std::string> shown() {
  std::vector<std::string> out;
  for (const auto& b : test_host().shown_boxes()) {
    out.push_back(b.caption + "|" + b.text + (b.icon == MessageIcon::Information ? "|i" : "") +
                  (b.owned ? "|owned" : ""));
  }
  return out;
}

TEST(IpsPatcherDialog, OpensWithItsTextsAndBrowseFillsOrEmptiesTheEdits) {
  gui_app();
  IpsPatcherDialog d;
  EXPECT_EQ(d.windowTitle(), "IPS Patcher");
  EXPECT_EQ(d.findChild<QGroupBox*>()->title(), "Apply a Patch:");
  EXPECT_EQ(edit(&d, 1019)->text(), "Choose an IPS file.");
  EXPECT_EQ(edit(&d, 1024)->text(), "Choose a file to be patched.");
  EXPECT_EQ(text(&d, 1020), "Apply");
  EXPECT_TRUE(dialog_control_as<QPushButton>(&d, 1020)->isDefault());
  EXPECT_EQ(text(&d, 1), "Dismiss");

  const struct {
    int button;
    int edit;
    const char* title;
    const char* filter;
  } cases[] = {
      {1017, 1019, "Vantrell - Load IPS File", "IPS File (*.ips);;All Files (*.*)"},
      {1025, 1024, "Vantrell - Load File", "NES ROM Image (*.nes);;All Files (*.*)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title);
    EXPECT_EQ(text(&d, c.button), "...");
    test_host().clear_records();
    test_host().script_file_dialog(std::string("/patches/chosen file"));
    test_host().script_file_dialog(std::nullopt);
    click(&d, c.button);
    EXPECT_EQ(edit(&d, c.edit)->text(), "/patches/chosen file");
    click(&d, c.button);
    EXPECT_EQ(edit(&d, c.edit)->text(), "");
    const auto calls = test_host().file_dialog_calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].title, c.title);
    EXPECT_EQ(calls[0].filter, c.filter);
    EXPECT_EQ(calls[0].directory, QDir::currentPath().toStdString()) << "no initial directory";
  }
}

// Empty edits are pointed out, then the patcher runs on the texts anyway and fails to open them.
TEST(IpsPatcherDialog, ApplyNamesEmptyEditsThenTriesTheTexts) {
  gui_app();
  const std::string failed = "File Error.|Failed to open file!";
  const struct {
    QString ips, target;
    std::vector<std::string> boxes;
  } cases[] = {
      {"",
       "",
       {"Error.|Please select an IPS File.|i|owned",
        "Error.|Please select a file to patch.|i|owned", failed}},
      {"Choose an IPS file.", "Choose a file to be patched.", {failed}},
  };
  for (const auto& c : cases) {
    test_host().clear_records();
    IpsPatcherDialog d;
    edit(&d, 1019)->setText(c.ips);
    edit(&d, 1024)->setText(c.target);
    click(&d, 1020);
    EXPECT_EQ(shown(), c.boxes);
    EXPECT_EQ(d.result(), 0) << "Apply leaves the dialog open";
  }
}

TEST(IpsPatcherDialog, AppliesTheChosenPatchUntilDismissed) {
  gui_app();
  test_host().clear_records();
  TempFile patch(IpsBuilder().data(1, {0xAA}).end().bytes, "p.ips"), target({1, 2});
  test_host().script_file_dialog(std::string(patch.path()));
  test_host().script_file_dialog(std::string(target.path()));
  ModalAnswer<QDialog> answer([](QDialog* d) {
    for (int id : {1017, 1025, 1020, 1}) click(d, id);
  });
  EXPECT_EQ(ips_patcher_dialog_exec(nullptr), 1);
  EXPECT_EQ(file_bytes(target.path()), (std::vector<uint8_t>{1, 0xAA}));
  EXPECT_EQ(shown(), (std::vector<std::string>{"Patching.|Applying Patch.|i",
                                               "Done.|Finished Patching file.|i"}));
}

}  // namespace

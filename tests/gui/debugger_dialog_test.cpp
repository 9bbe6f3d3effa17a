// The debugger dialog over a running game: its fields against the CPU and PPU state, and the
// two listings against the disassembler.
#include "shell/qt/dialogs/debugger_dialog.h"

#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <filesystem>

#include "cpu/cpu.h"
#include "gui/dialog_test_support.h"
#include "main_window_test_support.h"
#include "ppu/ppu.h"

namespace {

// A, X, Y, SP, FLAGS, PC; Ctrl 1, Ctrl 2, Status, Sprite; Reset, NMI, IRQ/BRK.
constexpr int kFields[] = {1015, 1017, 1020, 1021, 1022, 1025, 1016,
                           1018, 1023, 1024, 1019, 1026, 1027};

QString field(QWidget* d, int id) { return dialog_control_as<QLineEdit>(d, id)->text(); }

QStringList items(QWidget* d) {
  QStringList out;
  auto* list = dialog_control_as<QListWidget>(d, 1031);
  for (int i = 0; i < list->count(); ++i) out.append(list->item(i)->text());
  return out;
}

class DebuggerDialogTest : public MainWindowTest {
 protected:
  // Starts the demo and holds it at a frame boundary, as the menu command does.
  bool start_paused_game() {
    const std::string rom = rom_path("demo.nes");
    if (!std::filesystem::exists(rom)) return false;
    window->start_game(rom.c_str());
    EXPECT_TRUE(wait_until([] { return emu_stop == 0; }));
    emu_requests |= REQUEST_PAUSE;
    return true;
  }
};

TEST_F(DebuggerDialogTest, ShowsTheRegistersAndVectorsOfTheRunningGame) {
  if (!start_paused_game()) GTEST_SKIP() << "no demo cartridge";
  DebuggerDialog d(window.get());
  CpuContext c{};
  PpuState p{};
  ASSERT_TRUE(emulation_call([&] {
    cpu_get_context(&c);
    p = ppu;
  }));
  const auto bin = [](uint8_t v) { return QString::number(v, 2); };
  const auto vec = [&](int a) {
    return QString::asprintf("$%.2X%.2X", c.memory[a + 1], c.memory[a]);
  };
  const QStringList expected = {bin(c.a),           bin(c.x),    bin(c.y),
                                bin(c.s),           bin(c.p),    QString::number(c.pc, 16),
                                bin(p.ctrl),        bin(p.mask), bin(p.status),
                                bin(p.oam_address), vec(0xFFFC), vec(0xFFFA),
                                vec(0xFFFE)};
  QStringList shown;
  for (int id : kFields) shown.append(field(&d, id));
  EXPECT_EQ(shown, expected);
}

// The lines of the disassembler; a raw line's character column shows control characters as dots.
TEST_F(DebuggerDialogTest, ListsTheMappedProgramAsDisassemblyOrRawData) {
  if (!start_paused_game()) GTEST_SKIP() << "no demo cartridge";
  DebuggerDialog d(window.get());
  const auto columns = [](QStringList lines) {
    for (QString& line : lines) line = line.section('\t', 0, 1);
    return lines;
  };
  for (const auto& [button, listing] :
       {std::pair{1034, DebugListing::Disassembly}, {1035, DebugListing::Raw}}) {
    QStringList expected;
    ASSERT_TRUE(emulation_call([&, listing] {
      CpuContext ctx;
      cpu_get_context(&ctx);
      debug_list(debug_memory(ctx), listing,
                 [&](const char* line) { expected.append(QString::fromLatin1(line)); });
    }));
    click(&d, button);
    EXPECT_EQ(columns(items(&d)), columns(expected)) << button;
  }
  const QRegularExpression control("[\\x00-\\x08\\x0A-\\x1F\\x7F-\\x9F]");
  EXPECT_FALSE(items(&d).join("").contains(control));
  click(&d, 1);
  EXPECT_EQ(d.result(), 1);
}

TEST_F(DebuggerDialogTest, WithoutAGameTheFieldsStayEmptyAndTheButtonsDoNothing) {
  ASSERT_EQ(emu_stop.load(), 1);
  QString texts;
  int rows = -1;
  ModalAnswer<QDialog> answer([&](QDialog* d) {
    for (int id : kFields) texts += field(d, id);
    click(d, 1034);
    click(d, 1035);
    rows = dialog_control_as<QListWidget>(d, 1031)->count();
    d->reject();  // Escape
  });
  EXPECT_EQ(debugger_dialog_exec(window.get()), 2);
  EXPECT_EQ(texts, "");
  EXPECT_EQ(rows, 0);
}

}  // namespace

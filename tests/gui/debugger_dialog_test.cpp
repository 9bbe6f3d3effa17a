// The debugger dialog over a running game: its fields against the CPU and PPU state, and the
// two listings against the disassembler.
#include "shell/qt/dialogs/debugger_dialog.h"

#include <QRegularExpression>

#include "cpu/cpu.h"
#include "gui/dialog_test_support.h"
#include "ppu/ppu.h"

namespace {

// A, X, Y, SP, FLAGS, PC; Ctrl 1, Ctrl 2, Status, Sprite; Reset, NMI, IRQ/BRK.
std::string fields(QWidget* d) {
  return texts_of(d,
                  {1015, 1017, 1020, 1021, 1022, 1025, 1016, 1018, 1023, 1024, 1019, 1026, 1027});
}

// The tests with a game hold the demo at a frame boundary, as the menu command does.
using DebuggerDialogTest = MainWindowTest;

// Every register and vector holds a value of its own, so that no two fields can be mixed up.
TEST_F(DebuggerDialogTest, ShowsTheRegistersAndVectorsOfTheRunningGame) {
  if (!start_cartridge(*window, "demo.nes")) GTEST_SKIP() << "no demo cartridge";
  emu_requests |= REQUEST_PAUSE;
  ASSERT_TRUE(emulation_call([] {
    CpuContext c;
    cpu_get_context(&c);
    c.a = 1, c.x = 2, c.y = 3, c.s = 4, c.p = 5, c.pc = 0xC00A;
    cpu_set_context(&c);
    ppu.ctrl = 6, ppu.mask = 7, ppu.status = 8, ppu.oam_address = 9;
    for (int i = 0; i < 6; ++i) c.memory[0xFFFA + i] = uint8_t(0xA1 + i);  // the vectors' copy
  }));
  DebuggerDialog d(window.get());
  EXPECT_EQ(fields(&d), "1|10|11|100|101|c00a|110|111|1000|1001|$A4A3|$A2A1|$A6A5");
}

// The lines of the disassembler; a raw line's character column shows control characters as dots.
TEST_F(DebuggerDialogTest, ListsTheMappedProgramAsDisassemblyOrRawData) {
  if (!start_cartridge(*window, "demo.nes")) GTEST_SKIP() << "no demo cartridge";
  emu_requests |= REQUEST_PAUSE;
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
    EXPECT_EQ(columns(lines_of(&d, 1031)), columns(expected)) << button;
  }
  const QRegularExpression control("[\\x00-\\x08\\x0A-\\x1F\\x7F-\\x9F]");
  EXPECT_FALSE(lines_of(&d, 1031).join("").contains(control));
  click(&d, kIdOk);
  EXPECT_EQ(d.result(), kIdOk);
}

TEST_F(DebuggerDialogTest, WithoutAGameTheFieldsStayEmptyAndTheButtonsDoNothing) {
  ASSERT_EQ(emu_stop.load(), 1);
  DebuggerDialog d(window.get());
  EXPECT_EQ(fields(&d), std::string(12, '|'));
  click(&d, 1034);
  click(&d, 1035);
  EXPECT_TRUE(lines_of(&d, 1031).isEmpty());
}

}  // namespace

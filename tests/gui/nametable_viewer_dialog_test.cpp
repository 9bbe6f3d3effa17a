#include "shell/qt/dialogs/nametable_viewer_dialog.h"

#include "cart/mapper.h"
#include "gui/dialog_test_support.h"
#include "ppu/palettes.h"

namespace {

uint32_t rgb(uint32_t colour) {
  const PaletteEntry& c = current_palette[colour];
  return uint32_t(c.red) << 16 | uint32_t(c.green) << 8 | c.blue;
}

uint32_t pixel(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

using NametableViewerDialogTest = MainWindowTest;

// The scroll cartridge's table 0 holds columns of colours $16, $2A, $12 and table 1 rows of
// $27, $15, $31. The picture is painted 1:1 at 10, 10 and follows the game, which runs on.
TEST_F(NametableViewerDialogTest, ShowsTheRunningGamesTablesAndKeepsRedrawing) {
  install_test_video_plugin();
  if (!start_cartridge(*window, "scroll.nes")) GTEST_SKIP() << "no scroll cartridge";

  ModalAnswer<NametableViewerDialog> answer([&](NametableViewerDialog* d) {
    ASSERT_TRUE(wait_until([d] { return pixel(d->grab().toImage(), 10, 10) == rgb(0x16); }));
    const QImage shown = d->grab().toImage();
    EXPECT_EQ(pixel(shown, 10 + 8, 10 + 479), rgb(0x2A));
    EXPECT_EQ(pixel(shown, 10 + 256, 10 + 8), rgb(0x15));
    if (const char* file = std::getenv("VANTRELL_VIEWER_SCREENSHOT")) shown.save(file);

    const int renders = test_video_renders();
    EXPECT_TRUE(emulation_call([] { ppu_pages.palette_page[1] = 0x30; }));
    EXPECT_TRUE(wait_until([d] { return pixel(d->grab().toImage(), 10, 10) == rgb(0x30); }));
    EXPECT_GT(test_video_renders(), renders);
    EXPECT_EQ(emu_requests & REQUEST_PAUSE, 0);
    click(d, kIdOk);
  });
  EXPECT_EQ(nametable_viewer_dialog_exec(window.get()), kIdOk);
  EXPECT_EQ(answer.answered, 1);
}

// Without a game the picture stays black; OK ends with 1, the close box with 2, and a hundred
// openings leave no window behind.
TEST(NametableViewerDialog, OpensAndClosesWithoutLeftovers) {
  const qsizetype windows = QApplication::topLevelWidgets().size();
  QImage black(512, 480, QImage::Format_RGB32);
  black.fill(Qt::black);
  for (int i = 0; i < 100; ++i) {
    ModalAnswer<NametableViewerDialog> answer([i, &black](NametableViewerDialog* d) {
      EXPECT_EQ(d->image(), black);
      i % 2 ? void(d->close()) : click(d, kIdOk);
    });
    ASSERT_EQ(nametable_viewer_dialog_exec(nullptr), i % 2 ? kIdCancel : kIdOk) << i;
  }
  EXPECT_EQ(QApplication::topLevelWidgets().size(), windows);
}

}  // namespace

// The Name Tables window (111): the four name tables of the running game, 512 x 480 pixels at
// 10, 10, redrawn every 16 ms while the game goes on.
#pragma once

#include <QImage>
#include <QTimer>
#include <cstdint>
#include <memory>

#include "ppu/nametable_view.h"
#include "shell/qt/dialogs/dialog_ids.h"

namespace Ui {
class NametableViewerDialog;
}

class NametableViewerDialog : public NumberedDialog {
  Q_OBJECT

 public:
  explicit NametableViewerDialog(QWidget* parent = nullptr);
  ~NametableViewerDialog() override;

  // The picture as last drawn; black until a game has been drawn.
  const QImage& image() const { return image_; }
  void done(int result) override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void redraw();

  std::unique_ptr<Ui::NametableViewerDialog> ui_;
  QImage image_;
  // Fixed at opening: a palette chosen later shows after the viewer is reopened.
  uint32_t colours_[kNametableViewColours];
  QTimer timer_;
};

// Runs the viewer modally without an owner window (placed over `parent` when one is given) and
// without pausing the game: 1 after OK, 2 after the close box or Escape.
int nametable_viewer_dialog_exec(QWidget* parent);

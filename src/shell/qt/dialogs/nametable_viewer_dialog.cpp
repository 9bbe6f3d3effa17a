#include "shell/qt/dialogs/nametable_viewer_dialog.h"

#include <QPainter>

#include "machine/emulation.h"
#include "ppu/palettes.h"
#include "ui_nametable_viewer_dialog.h"

namespace {

constexpr int kImageLeft = 10;
constexpr int kImageTop = 10;
constexpr int kRedrawMs = 16;
// QImage's RGB32 pixels carry an opaque top byte.
constexpr uint32_t kOpaque = 0xFF000000u;

}  // namespace

NametableViewerDialog::NametableViewerDialog(QWidget* parent)
    : NumberedDialog(parent),
      ui_(std::make_unique<Ui::NametableViewerDialog>()),
      image_(int(kNametableViewWidth), int(kNametableViewHeight), QImage::Format_RGB32) {
  ui_->setupUi(this);
  image_.fill(Qt::black);
  nametable_viewer_colours(current_palette, colours_);
  for (uint32_t& c : colours_) c |= kOpaque;
  end_on_click(kIdOk);
  connect(&timer_, &QTimer::timeout, this, [this] { redraw(); });
  timer_.start(kRedrawMs);
  redraw();
}

NametableViewerDialog::~NametableViewerDialog() = default;

void NametableViewerDialog::done(int result) {
  timer_.stop();
  NumberedDialog::done(result);
}

void NametableViewerDialog::redraw() {
  // 512 RGB32 pixels are exactly one 2048-byte scan line, so the picture is drawn in place.
  auto* pixels = reinterpret_cast<uint32_t*>(image_.bits());
  // Drawn on the emulation thread between two frames: one frame's state, and never memory that a
  // run ending meanwhile has freed. Without a run the picture keeps its last content.
  if (emulation_call([&] { nametable_viewer_draw(pixels, colours_); })) {
    update(kImageLeft, kImageTop, image_.width(), image_.height());
  }
}

void NametableViewerDialog::paintEvent(QPaintEvent* event) {
  NumberedDialog::paintEvent(event);
  QPainter painter(this);
  painter.drawImage(kImageLeft, kImageTop, image_);  // one image pixel per screen pixel
}

int nametable_viewer_dialog_exec(QWidget* parent) {
  NametableViewerDialog dialog;
  if (parent) dialog.move(parent->frameGeometry().center() - dialog.rect().center());
  return exec_without_owner(&dialog);
}

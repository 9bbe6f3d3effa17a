#include "shell/qt/screen_widget.h"

#include <QPainter>
#include <cstring>

ScreenWidget::ScreenWidget(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  setMinimumSize(1, 1);
}

void ScreenWidget::show_image(const uint32_t* pixels, int width, int height, int stride) {
  if (!pixels || width <= 0 || height <= 0) return;
  {
    std::lock_guard lock(mutex_);
    if (image_.width() != width || image_.height() != height) {
      image_ = QImage(width, height, QImage::Format_RGB32);
    }
    const auto* src = reinterpret_cast<const uint8_t*>(pixels);
    for (int y = 0; y < height; ++y) {
      const auto* in = reinterpret_cast<const uint32_t*>(src + size_t(y) * size_t(stride));
      auto* out = reinterpret_cast<uint32_t*>(image_.scanLine(y));
      // Qt wants the unused top byte of an RGB32 pixel set.
      for (int x = 0; x < width; ++x) out[x] = in[x] | 0xFF000000u;
    }
  }
  queue_repaint();
}

void ScreenWidget::clear_image() {
  {
    std::lock_guard lock(mutex_);
    image_ = QImage();
  }
  queue_repaint();
}

QImage ScreenWidget::image() const {
  std::lock_guard lock(mutex_);
  return image_.copy();
}

// At most one repaint waits in the queue, however fast the pictures come.
void ScreenWidget::queue_repaint() {
  if (repaint_queued_.exchange(true)) return;
  QMetaObject::invokeMethod(
      this,
      [this] {
        repaint_queued_ = false;
        update();
      },
      Qt::QueuedConnection);
}

void ScreenWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  std::lock_guard lock(mutex_);
  if (image_.isNull()) {
    painter.fillRect(rect(), Qt::black);
    return;
  }
  painter.drawImage(rect(), image_);
}

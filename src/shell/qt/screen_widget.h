// The main window's client area: it shows the picture the video plug-in hands over, scaled to its
// size, on a black background. Images may arrive from the emulation thread; the widget keeps a
// copy under a lock and repaints on the user-interface thread.
#pragma once

#include <QImage>
#include <QWidget>
#include <atomic>
#include <cstdint>
#include <mutex>

class ScreenWidget : public QWidget {
  Q_OBJECT

 public:
  explicit ScreenWidget(QWidget* parent = nullptr);

  // Copies a 0x00RRGGBB image (stride in bytes) and queues a repaint. Any thread.
  void show_image(const uint32_t* pixels, int width, int height, int stride);
  // Drops the picture, leaving the black background (a run has ended). Any thread.
  void clear_image();
  // A copy of the picture shown now (null when there is none).
  QImage image() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  // Tab is a key like any other for the plug-ins, not a focus move.
  bool focusNextPrevChild(bool) override { return false; }

 private:
  void queue_repaint();

  mutable std::mutex mutex_;
  QImage image_;
  std::atomic<bool> repaint_queued_{false};
};

#include "shell/qt/dialogs/about_dialog.h"

#include <QDesktopServices>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QUrl>

#include "ui_about_dialog.h"

// A joypad on a night-blue tile: the console's most familiar shape, drawn in flat colours.
QPixmap about_logo() {
  constexpr int kWidth = 128;
  constexpr int kHeight = 96;
  QPixmap pixmap(kWidth, kHeight);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);

  QLinearGradient sky(0, 0, 0, kHeight);
  sky.setColorAt(0, QColor(0x2A, 0x3F, 0x8F));
  sky.setColorAt(1, QColor(0x10, 0x16, 0x3A));
  p.setPen(Qt::NoPen);
  p.setBrush(sky);
  p.drawRoundedRect(QRectF(0, 0, kWidth, kHeight), 12, 12);

  // Pad body with its dark face plate.
  const QRectF body(10, 26, 108, 46);
  p.setBrush(QColor(0xD8, 0xD8, 0xD4));
  p.drawRoundedRect(body, 6, 6);
  p.setBrush(QColor(0x26, 0x26, 0x2A));
  p.drawRoundedRect(body.adjusted(5, 8, -5, -5), 3, 3);

  // Direction cross.
  p.setBrush(QColor(0x0C, 0x0C, 0x0C));
  p.drawRect(QRectF(21, 45, 21, 7));
  p.drawRect(QRectF(28, 38, 7, 21));

  // Select and Start.
  p.setBrush(QColor(0x8A, 0x8A, 0x8A));
  p.drawRoundedRect(QRectF(50, 49, 11, 4), 2, 2);
  p.drawRoundedRect(QRectF(65, 49, 11, 4), 2, 2);

  // B and A.
  p.setBrush(QColor(0xC8, 0x1E, 0x28));
  p.drawEllipse(QRectF(81, 44, 12, 12));
  p.drawEllipse(QRectF(97, 44, 12, 12));

  // The cord, rising out of the top edge.
  QPainterPath cord(QPointF(64, 26));
  cord.cubicTo(QPointF(64, 14), QPointF(84, 18), QPointF(86, 6));
  p.setPen(QPen(QColor(0x12, 0x12, 0x14), 3, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  p.drawPath(cord);
  return pixmap;
}

AboutDialog::AboutDialog(QWidget* parent)
    : NumberedDialog(parent), ui_(std::make_unique<Ui::AboutDialog>()) {
  ui_->setupUi(this);
  ui_->id106->setPixmap(about_logo());
  QFont name = ui_->labelName->font();
  name.setPointSizeF(name.pointSizeF() * 1.6);
  name.setBold(true);
  ui_->labelName->setFont(name);
  connect(ui_->id1039, &QPushButton::clicked, this,
          [] { QDesktopServices::openUrl(QUrl(QString::fromLatin1(kVantrellWebSite))); });
  end_on_click(kIdOk);
  end_on_click(kIdCancel);
}

AboutDialog::~AboutDialog() = default;

int about_dialog_exec(QWidget* parent) {
  AboutDialog dialog(parent);
  return dialog.exec();
}

#include "shell/qt/dialogs/rom_info_dialog.h"

#include "cart/cartridge.h"
#include "ui_rom_info_dialog.h"

RomInfoDialog::RomInfoDialog(const Cartridge& cart, QWidget* parent)
    : NumberedDialog(parent),
      ui_(std::make_unique<Ui::RomInfoDialog>()),
      info_(rom_info_read(cart)) {
  ui_->setupUi(this);
  ui_->id1002->setText(QString::fromStdString(info_.path));
  ui_->id1002->setCursorPosition(0);
  ui_->id1006->setText(QString::fromStdString(info_.chr_rom_size));
  ui_->id1007->setText(QString::fromStdString(info_.prg_rom_size));
  ui_->id1003->setText(QString::fromStdString(info_.mapper));
  show_flags();
  for (QCheckBox* box : {ui_->id1008, ui_->id1027, ui_->id1028, ui_->id1029}) {
    connect(box, &QCheckBox::clicked, this, [this] { show_flags(); });
  }
  end_on_click(kIdOk);
}

RomInfoDialog::~RomInfoDialog() = default;

void RomInfoDialog::show_flags() {
  ui_->id1008->setChecked(info_.vertical_mirroring);
  ui_->id1027->setChecked(info_.battery);
  ui_->id1028->setChecked(info_.trainer);
  ui_->id1029->setChecked(info_.four_screen);
}

int rom_info_dialog_exec(QWidget* parent) {
  RomInfoDialog dialog(cartridge, parent);
  return dialog.exec();
}

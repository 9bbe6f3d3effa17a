#include "shell/qt/dialogs/game_genie_dialog.h"

#include <QValidator>
#include <vector>

#include "cheats/game_genie.h"
#include "machine/emulation.h"
#include "ui_game_genie_dialog.h"

namespace {

// Turns whatever is typed or pasted into upper case; every text is acceptable.
class UpperCaseValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    input = input.toUpper();
    return Acceptable;
  }
};

}  // namespace

GameGenieDialog::GameGenieDialog(QWidget* parent)
    : NumberedDialog(parent), ui_(std::make_unique<Ui::GameGenieDialog>()) {
  ui_->setupUi(this);
  ui_->id1013->setValidator(new UpperCaseValidator(ui_->id1013));
  for (int32_t i = 0; i < gg_count(); ++i)
    ui_->id1011->addItem(QString::fromLatin1(gg_code_text(i)));
  ui_->labelStatus->setText(gg_enabled() ? QString::fromUtf8(kGgPatchNote)
                                         : QString::fromUtf8(kGgOffNote) + ' ' +
                                               QString::fromUtf8(kGgPatchNote));

  connect(ui_->id1012, &QPushButton::clicked, this, [this] { add_code(); });
  connect(ui_->id1014, &QPushButton::clicked, this, [this] { remove_code(); });
  connect(ui_->id1, &QPushButton::clicked, this, [this] { store(); });
  end_on_click(kIdCancel);
}

GameGenieDialog::~GameGenieDialog() = default;

// Only six- and eight-letter texts are taken, without a word about others; the letters
// themselves are not checked (a stranger counts as A when the code is applied).
void GameGenieDialog::add_code() {
  if (ui_->id1011->count() >= kGgMaxCodes) return;
  const QString code = ui_->id1013->text();
  if (code.size() == 6 || code.size() == 8) ui_->id1011->addItem(code);
  ui_->id1013->selectAll();  // the next code typed replaces this one
  ui_->id1013->setFocus();
}

void GameGenieDialog::remove_code() {
  const QList<QListWidgetItem*> selected = ui_->id1011->selectedItems();
  if (!selected.isEmpty()) delete selected[0];
}

void GameGenieDialog::store() {
  std::vector<QByteArray> codes;
  for (int i = 0; i < ui_->id1011->count(); ++i) {
    codes.push_back(ui_->id1011->item(i)->text().toLatin1());  // one byte per letter
  }
  const auto write = [&codes] {
    for (size_t i = 0; i < codes.size(); ++i) gg_set_code_text(int32_t(i), codes[i].constData());
    gg_set_count(int32_t(codes.size()));
  };
  // A running game reads the list at its bank switches: change it between two frames.
  if (!emulation_call(write)) write();
  done(kIdOk);
}

int game_genie_dialog_exec(QWidget* parent) {
  GameGenieDialog dialog(parent);
  return dialog.exec();
}

#include "shell/qt/dialogs/cheat_finder_dialog.h"

#include <QFontDatabase>
#include <QPointer>
#include <algorithm>
#include <vector>

#include "machine/emulation.h"
#include "ui_cheat_finder_dialog.h"

namespace {

QString hex_text(const char* format, uint32_t value) { return QString::asprintf(format, value); }

}  // namespace

// Game memory is only touched through emulation_call: on the emulation thread between two
// frames. With no game running it refuses, since the machine's memory does not exist then.
CheatFinderDialog::CheatFinderDialog(QWidget* parent)
    : NumberedDialog(parent), ui_(std::make_unique<Ui::CheatFinderDialog>()) {
  ui_->setupUi(this);
  ui_->id1054->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  // The value panel and the comparisons take turns in one place: both get the larger size, so
  // that the dialog keeps its shape when the search kind changes.
  const QSize panel = ui_->groupSearchVal->sizeHint().expandedTo(ui_->groupSearchType->sizeHint());
  ui_->groupSearchVal->setMinimumSize(panel);
  ui_->groupSearchType->setMinimumSize(panel);
  show_search_kind();
  fill_names();

  for (QRadioButton* radio : {ui_->id1051, ui_->id1052, ui_->id1053}) {
    connect(radio, &QRadioButton::toggled, this, [this](bool on) {
      if (on) show_search_kind();
    });
  }
  connect(ui_->id1050, &QPushButton::clicked, this, [this] { find(); });
  for (const auto& button : kFinderChangeButtons) {
    connect(dialog_control_as<QPushButton>(this, button.id), &QPushButton::clicked, this,
            [this, how = button.how] { search_change(how); });
  }
  connect(ui_->id1055, &QPushButton::clicked, this, [this] { add_address(); });
  connect(ui_->id1000, &QComboBox::currentIndexChanged, this, [this] { show_named(); });
  connect(ui_->id1059, &QPushButton::clicked, this, [this] { apply_cheat(); });
  end_on_click(kIdOk);
}

CheatFinderDialog::~CheatFinderDialog() = default;

// "By Change" shows the comparisons in place of the value box and Find.
void CheatFinderDialog::show_search_kind() {
  const bool by_change = ui_->id1053->isChecked();
  ui_->groupSearchVal->setVisible(!by_change);
  ui_->id1068->setVisible(!by_change);
  ui_->id1050->setVisible(!by_change);
  ui_->groupSearchType->setVisible(by_change);
  for (const auto& button : kFinderChangeButtons) {
    dialog_control(this, button.id)->setVisible(by_change);
  }
  // The first comparison has something to compare with even when no search has run yet.
  if (by_change) emulation_call(finder_ensure_snapshot);
}

void CheatFinderDialog::find() {
  const QByteArray text = ui_->id1068->text().toUtf8();
  if (ui_->id1052->isChecked()) {
    finder_set_single(finder_parse_hex(text.constData()));
  } else {
    const uint8_t value = finder_parse_decimal(text.constData());
    const bool refine = ui_->id1061->isChecked();
    emulation_call([value, refine] { finder_search_value(value, refine); });
  }
  show_results();
}

void CheatFinderDialog::search_change(FinderChange how) {
  emulation_call([how] { finder_search_change(how); });
  show_results();
}

// One line per result, "%.4X", carrying its index in the result list.
void CheatFinderDialog::show_results() {
  QListWidget* list = ui_->id1054;
  list->setUpdatesEnabled(false);
  list->setSortingEnabled(false);  // one sort at the end rather than a search per line
  list->clear();
  const int32_t count = finder_result_count();
  for (int32_t i = 0; i < count; ++i) {
    auto* item = new QListWidgetItem(hex_text("%.4X", finder_result(i)));
    item->setData(Qt::UserRole, i);
    list->addItem(item);
  }
  list->setSortingEnabled(true);
  list->setUpdatesEnabled(true);
}

void CheatFinderDialog::add_address() {
  const QList<QListWidgetItem*> selected = ui_->id1054->selectedItems();
  if (selected.isEmpty()) return;
  const int32_t index = selected[0]->data(Qt::UserRole).toInt();
  const QByteArray name = ui_->id1056->text().toUtf8();
  if (finder_add_named(finder_result(index), name.constData()) == 0) fill_names();
}

// The names in sorted order (ignoring case), each carrying its index in the named list.
void CheatFinderDialog::fill_names() {
  std::vector<std::pair<QString, int32_t>> names;
  for (int32_t i = 0; i < finder_named_count(); ++i) {
    names.emplace_back(QString::fromUtf8(finder_name(i)), i);
  }
  std::stable_sort(names.begin(), names.end(), [](const auto& a, const auto& b) {
    return a.first.compare(b.first, Qt::CaseInsensitive) < 0;
  });
  QComboBox* box = ui_->id1000;
  const QSignalBlocker quiet(box);
  box->clear();
  for (const auto& [name, index] : names) box->addItem(name, index);
  box->setCurrentIndex(-1);
  ui_->id1057->clear();
  ui_->id1058->clear();
}

void CheatFinderDialog::show_named() {
  const QVariant index = ui_->id1000->currentData();
  if (!index.isValid()) return;
  const uint32_t address = finder_named_address(index.toInt());
  ui_->id1057->setText(hex_text("$%.2X", address));
  uint8_t value = 0;
  if (emulation_call([address, &value] { value = finder_read_byte(address); })) {
    ui_->id1058->setText(hex_text("$%.2X", value));
  } else {
    ui_->id1058->clear();  // no game, no memory to show
  }
}

// One write now; the game may change the byte again at once. The value shown afterwards is the
// one the game holds after the write.
void CheatFinderDialog::apply_cheat() {
  const QVariant index = ui_->id1000->currentData();
  if (!index.isValid()) return;
  const uint32_t address = finder_named_address(index.toInt());
  const uint8_t value = finder_parse_decimal(ui_->id1060->text().toUtf8().constData());
  emulation_call([address, value] { finder_write_byte(address, value); });
  show_named();
}

int cheat_finder_dialog_exec(QWidget* parent) {
  static QPointer<CheatFinderDialog> open;
  if (open) {
    open->raise();
    open->activateWindow();
    return 0;
  }
  CheatFinderDialog dialog(parent);
  open = &dialog;
  return exec_without_owner(&dialog);
}

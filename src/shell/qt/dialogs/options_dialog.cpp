#include "shell/qt/dialogs/options_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QStandardPaths>
#include <cstring>

#include "machine/emulation.h"
#include "ppu/palettes.h"
#include "shell/plugin_api.h"
#include "shell/registry.h"
#include "ui_options_dialog.h"

uint32_t palette_index = 0;

static_assert(kPluginPathSize >= kRegistryStringSize, "a stored name fits the path buffer");

namespace {

constexpr const char* kNoVideoPlugin =
    "Vantrell could not find a valid video plugin dll, please put a copy of the plugin in the "
    "same directory as Vantrell.";
constexpr const char* kNoInputPlugin =
    "Vantrell could not find a valid input plugin dll, please put a copy of the plugin in the "
    "same directory as Vantrell.";

// NES colours that show a palette's character at a glance: reds to blues, then grey and white.
constexpr int kSwatchColours[] = {0x06, 0x16, 0x27, 0x28, 0x1A, 0x2C, 0x12, 0x14, 0x00, 0x30};
constexpr int kSwatchCell = 6;
constexpr int kSwatchHeight = 12;

QIcon palette_swatch(int index) {
  const PaletteEntry* table = ppu_palettes[index];
  constexpr int count = int(std::size(kSwatchColours));
  QPixmap pixmap(count * kSwatchCell + 1, kSwatchHeight);
  QPainter p(&pixmap);
  p.fillRect(pixmap.rect(), QColor(0x40, 0x40, 0x40));
  for (int i = 0; i < count; ++i) {
    const PaletteEntry& c = table[kSwatchColours[i]];
    p.fillRect(i * kSwatchCell + 1, 1, kSwatchCell - 1, kSwatchHeight - 2,
               QColor(c.red, c.green, c.blue));
  }
  return QIcon(pixmap);
}

// The settings hold at most 255 bytes of text; longer text is cut at a character boundary.
QByteArray setting_text(const QString& text) {
  QByteArray bytes = text.toUtf8();
  if (bytes.size() < int(kRegistryStringSize)) return bytes;
  int end = int(kRegistryStringSize) - 1;
  while (end > 0 && (uchar(bytes[end]) & 0xC0) == 0x80) --end;  // not inside a UTF-8 sequence
  bytes.truncate(end);
  return bytes;
}

}  // namespace

OptionsDialog::OptionsDialog(QWidget* parent)
    : NumberedDialog(parent), ui_(std::make_unique<Ui::OptionsDialog>()) {
  ui_->setupUi(this);
  for (int i = 0; i < kPaletteCount; ++i) {
    QRadioButton* button = palette_button(i);
    button->setIcon(palette_swatch(i));
    button->setIconSize(QSize(int(std::size(kSwatchColours)) * kSwatchCell + 1, kSwatchHeight));
  }
  for (const FolderRow& row : folder_rows()) {
    connect(row.browse, &QPushButton::clicked, this, [this, edit = row.edit] { browse(edit); });
  }
  // An empty battery folder means the default one; the edit shows which.
  ui_->id1071->setPlaceholderText(
      QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
      QStringLiteral("/Vantrell/saves"));
  connect(ui_->id1, &QPushButton::clicked, this, [this] { store(); });
  end_on_click(kIdCancel);
}

OptionsDialog::~OptionsDialog() = default;

std::array<OptionsDialog::FolderRow, 3> OptionsDialog::folder_rows() const {
  return {{{ui_->id1000, ui_->id1001, "RomDirectory"},
           {ui_->id1002, ui_->id1003, "StateDirectory"},
           {ui_->id1071, ui_->id1072, "BatteryDirectory"}}};
}

QRadioButton* OptionsDialog::palette_button(int index) {
  return dialog_control_as<QRadioButton>(this, kPaletteButtonIds[index]);
}

bool OptionsDialog::fill() {
  if (!fill_plugins(ui_->id1004, PLUGIN_EXPORT_VIDEO_INIT, video_plugin_path, kNoVideoPlugin) ||
      !fill_plugins(ui_->id1005, PLUGIN_EXPORT_INPUT_INIT, input_plugin_path, kNoInputPlugin)) {
    quit();
    return false;
  }
  for (const FolderRow& row : folder_rows()) {
    char text[kRegistryStringSize];
    if (registry_get_string(kRegistryOptions, row.setting, text) == 0) {
      row.edit->setText(QString::fromUtf8(text));
    }
  }
  if (palette_index < uint32_t(kPaletteCount)) palette_button(int(palette_index))->setChecked(true);
  return true;
}

bool OptionsDialog::fill_plugins(QListWidget* list, const char* export_name, const char* current,
                                 const char* missing_text) {
  list->clear();
  for (const std::string& name : enumerate_plugins(export_name)) {
    list->addItem(QString::fromStdString(name));
    if (name == current) list->setCurrentRow(list->count() - 1);
  }
  if (list->count() > 0) return true;
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Error"), QString::fromUtf8(missing_text),
                  QMessageBox::Ok, this);
  box.exec();
  return false;
}

void OptionsDialog::browse(QLineEdit* edit) {
  // Start in the folder shown, unless it is gone: then in the current directory.
  const QString start = QDir(edit->text()).exists() ? edit->text() : QString();
  const QString folder =
      QFileDialog::getExistingDirectory(this, QStringLiteral("Select A Folder"), start);
  if (!folder.isEmpty()) edit->setText(QDir::toNativeSeparators(folder));
}

void OptionsDialog::store() {
  for (const FolderRow& row : folder_rows()) {
    registry_set_string(kRegistryOptions, row.setting, setting_text(row.edit->text()).constData());
  }

  // No selection stores an empty name, so that the next start asks for a plug-in again.
  const auto store_plugin = [](QListWidget* list, char* path, const char* setting) {
    const QList<QListWidgetItem*> selected = list->selectedItems();
    const QByteArray name = selected.isEmpty() ? QByteArray() : setting_text(selected[0]->text());
    std::memcpy(path, name.constData(), size_t(name.size()) + 1);
    registry_set_string(kRegistryPlugins, setting, path);
  };
  store_plugin(ui_->id1004, video_plugin_path, "Video");
  store_plugin(ui_->id1005, input_plugin_path, "Input");

  for (int i = 0; i < kPaletteCount; ++i) {
    if (palette_button(i)->isChecked()) {
      palette_index = uint32_t(i);
      ppu_select_palette(palette_index);
      break;
    }
  }
  registry_set_dword(kRegistryOptions, "Palette", palette_index);

  emu_requests.fetch_or(REQUEST_RELOAD_PLUGINS);
  done(kIdOk);
}

int options_dialog_exec(QWidget* parent) {
  OptionsDialog dialog(parent);
  if (!dialog.fill()) return 0;
  return dialog.exec();
}

#include "shell/qt/dialogs/ips_patcher_dialog.h"

#include <QFile>

#include "cart/ips_patcher.h"
#include "shell/host.h"
#include "ui_ips_patcher_dialog.h"

namespace {

constexpr int kIdApply = 1020;
constexpr int kIdDismiss = 1;

const FileFilter kIpsFilters[] = {{"IPS File (*.ips)", "*.ips"}, {"All Files (*.*)", "*.*"}};
const FileFilter kTargetFilters[] = {{"NES ROM Image (*.nes)", "*.nes"},
                                     {"All Files (*.*)", "*.*"}};

void apply_error(const char* text) {
  host().message_box(text, "Error.", MessageButtons::Ok, MessageIcon::Information, true);
}

}  // namespace

IpsPatcherDialog::IpsPatcherDialog(QWidget* parent)
    : NumberedDialog(parent), ui_(std::make_unique<Ui::IpsPatcherDialog>()) {
  ui_->setupUi(this);
  // Ordinary contents, not placeholders: Apply without browsing takes them as file names.
  ui_->id1019->setText(QStringLiteral("Choose an IPS file."));
  ui_->id1024->setText(QStringLiteral("Choose a file to be patched."));
  connect(ui_->id1017, &QPushButton::clicked, this,
          [this] { browse(ui_->id1019, "Vantrell - Load IPS File", kIpsFilters); });
  connect(ui_->id1025, &QPushButton::clicked, this,
          [this] { browse(ui_->id1024, "Vantrell - Load File", kTargetFilters); });
  connect(dialog_control_as<QPushButton>(this, kIdApply), &QPushButton::clicked, this,
          [this] { apply(); });
  end_on_click(kIdDismiss);
}

IpsPatcherDialog::~IpsPatcherDialog() = default;

// The chosen path replaces the edit's text; cancelling empties it.
void IpsPatcherDialog::browse(QLineEdit* edit, const char* title, const FileFilter* filters) {
  char* path = host().file_open_dialog(title, filters, 2, nullptr);
  edit->setText(path ? QFile::decodeName(path) : QString());
  delete[] path;
}

// Empty names are pointed out, then the patcher runs on the texts regardless and reports for
// itself; its result is not looked at.
void IpsPatcherDialog::apply() {
  if (ui_->id1019->text().isEmpty()) apply_error("Please select an IPS File.");
  if (ui_->id1024->text().isEmpty()) apply_error("Please select a file to patch.");
  const QByteArray ips = QFile::encodeName(ui_->id1019->text());
  const QByteArray target = QFile::encodeName(ui_->id1024->text());
  IpsPatcher patcher;
  patcher.ips_apply(ips.constData(), target.constData());
}

int ips_patcher_dialog_exec(QWidget* parent) {
  IpsPatcherDialog dialog(parent);
  return dialog.exec();
}

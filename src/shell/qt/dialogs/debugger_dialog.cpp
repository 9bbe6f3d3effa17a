#include "shell/qt/dialogs/debugger_dialog.h"

#include <QFontDatabase>
#include <QStringList>

#include "cart/cartridge.h"
#include "machine/emulation.h"
#include "ui_debugger_dialog.h"

namespace {

// A list line as the list shows it. Control characters in a raw line's character column would
// break the line or show as boxes, so they show as dots; the tabs between the columns stay.
QString list_text(const char* line) {
  QString text = QString::fromLatin1(line);
  for (QChar& c : text) {
    const char16_t u = c.unicode();
    if ((u < 0x20 && u != u'\t') || (u >= 0x7F && u <= 0x9F)) c = u'.';
  }
  return text;
}

}  // namespace

DebuggerDialog::DebuggerDialog(QWidget* parent)
    : NumberedDialog(parent), ui_(std::make_unique<Ui::DebuggerDialog>()) {
  ui_->setupUi(this);
  ui_->id1031->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  // The registers are read between two frames, on the thread that runs them.
  if (emu_stop.load() == 0) {
    DebugSnapshot s;
    if (emulation_call([&s] { s = debug_take_snapshot(); })) snapshot_ = s;
  }
  if (snapshot_) show_fields(*snapshot_);
  connect(ui_->id1035, &QPushButton::clicked, this, [this] { show_listing(DebugListing::Raw); });
  connect(ui_->id1034, &QPushButton::clicked, this,
          [this] { show_listing(DebugListing::Disassembly); });
  end_on_click(kIdOk);
}

DebuggerDialog::~DebuggerDialog() = default;

void DebuggerDialog::show_fields(const DebugSnapshot& s) {
  const auto binary = [](uint8_t v) { return QString::fromStdString(debug_binary_text(v)); };
  const auto vector = [&s](int offset) {
    return QString::fromStdString(debug_vector_text(s.vectors[offset], s.vectors[offset + 1]));
  };
  const struct {
    QLineEdit* field;
    QString text;
  } fields[] = {
      {ui_->id1015, binary(s.a)},      {ui_->id1017, binary(s.x)},
      {ui_->id1020, binary(s.y)},      {ui_->id1021, binary(s.s)},
      {ui_->id1022, binary(s.p)},      {ui_->id1025, QString::fromStdString(debug_pc_text(s.pc))},
      {ui_->id1016, binary(s.ctrl)},   {ui_->id1018, binary(s.mask)},
      {ui_->id1023, binary(s.status)}, {ui_->id1024, binary(s.oam_address)},
      {ui_->id1019, vector(2)},  // $FFFC
      {ui_->id1026, vector(0)},  // $FFFA
      {ui_->id1027, vector(4)},  // $FFFE
  };
  for (const auto& f : fields) f.field->setText(f.text);
}

void DebuggerDialog::show_listing(DebugListing kind) {
  if (!snapshot_ || !snapshot_->memory.prg_begin) return;
  const DebugMemory memory = snapshot_->memory;
  QStringList lines;
  // The pages point into the running game's program data: read them where that game runs, and
  // only while it is still the game the snapshot came from.
  const bool read = emulation_call([&] {
    if (cartridge.prg_rom != memory.prg_begin) return;
    debug_list(memory, kind, [&lines](const char* line) { lines.append(list_text(line)); });
  });
  if (!read || lines.isEmpty()) return;
  ui_->id1031->clear();
  ui_->id1031->addItems(lines);
}

int debugger_dialog_exec(QWidget* parent) {
  DebuggerDialog dialog(parent);
  return dialog.exec();
}

#include "shell/qt/qt_host.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QSettings>
#include <QStandardPaths>
#include <QThread>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "shell/qt/dialogs/header_sanitizer_dialog.h"
#include "shell/qt/main_window.h"
#include "shell/qt/screen_widget.h"
#include "shell/sdl/sdl_sound_device.h"

namespace {

// A settings string and its terminating NUL must fit the 255-byte read buffer.
constexpr qsizetype kMaxSettingBytes = 255;

bool on_ui_thread() { return !qApp || QThread::currentThread() == qApp->thread(); }

// Runs fn on the user-interface thread and returns its result; a caller on another thread waits.
template <typename Fn>
auto run_on_ui(Fn&& fn) -> decltype(fn()) {
  if (on_ui_thread()) return fn();
  using Result = decltype(fn());
  if constexpr (std::is_void_v<Result>) {
    QMetaObject::invokeMethod(qApp, fn, Qt::BlockingQueuedConnection);
  } else {
    Result result{};
    QMetaObject::invokeMethod(
        qApp, [&] { result = fn(); }, Qt::BlockingQueuedConnection);
    return result;
  }
}

QMessageBox::Icon qt_icon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Exclamation: return QMessageBox::Warning;
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons qt_buttons(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::Ok: break;
  }
  return QMessageBox::Ok;
}

MessageResult accepting_answer(MessageButtons buttons) {
  return buttons == MessageButtons::YesNo ? MessageResult::Yes : MessageResult::Ok;
}

MessageResult from_qt(int button) {
  switch (button) {
    case QMessageBox::Cancel: return MessageResult::Cancel;
    case QMessageBox::Yes: return MessageResult::Yes;
    case QMessageBox::No: return MessageResult::No;
    default: return MessageResult::Ok;
  }
}

// "NES ROM Image (*.nes)" already names its pattern; a bare description gets it appended.
// Several patterns ("*.nes;*.unf") are separated by spaces for Qt.
QString qt_filter(const FileFilter* filters, int count) {
  QStringList list;
  for (int i = 0; i < count; ++i) {
    QString description = QString::fromUtf8(filters[i].description);
    const QString pattern = QString::fromUtf8(filters[i].pattern).replace(';', ' ');
    if (!description.contains('(')) description += QStringLiteral(" (%1)").arg(pattern);
    list << description;
  }
  return list.join(QStringLiteral(";;"));
}

QSettings open_settings() {
#ifdef Q_OS_WIN
  return QSettings(QStringLiteral("HKEY_CURRENT_USER"), QSettings::NativeFormat);
#else
  return QSettings(QtHost::settings_file(), QSettings::IniFormat);
#endif
}

QString setting_path(const char* key, const char* name) {
  return QString::fromUtf8(key) + '/' + QString::fromUtf8(name);
}

}  // namespace

MessageResult QtHost::message_box(const char* text, const char* caption, MessageButtons buttons,
                                  MessageIcon icon, bool owned) {
  const QString qtext = QString::fromUtf8(text);
  const QString qcaption = QString::fromUtf8(caption);
  return run_on_ui([&]() -> MessageResult {
    {
      std::lock_guard lock(test_mutex_);
      if (test_mode_) {
        shown_.push_back({text, caption, buttons, icon, owned, on_ui_thread()});
        return accepting_answer(buttons);
      }
    }
    QWidget* parent = owned ? window_ : nullptr;
    QMessageBox box(qt_icon(icon), qcaption, qtext, qt_buttons(buttons), parent);
    return from_qt(box.exec());
  });
}

void QtHost::debug_output(const char* text) {
  static const bool enabled = std::getenv("VANTRELL_DEBUG") != nullptr;
  if (enabled) std::fputs(text, stderr);
}

uint32_t QtHost::milliseconds() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void QtHost::set_window_title(const char* title) {
  MainWindow* w = window_;
  if (!w) return;
  // Queued to the window itself: if it is gone by then, the call is dropped with it.
  QMetaObject::invokeMethod(
      w, [w, t = QString::fromUtf8(title)] { w->setWindowTitle(t); }, Qt::QueuedConnection);
}

void QtHost::invalidate_window() {
  // The run has ended and the plug-in draws no more: the client area goes back to black.
  if (window_) window_->screen()->clear_image();
}

HostWindow* QtHost::plugin_window() { return window_ ? window_->host_window() : nullptr; }

QString QtHost::settings_file() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         QStringLiteral("/Vantrell/Vantrell.ini");
}

bool QtHost::settings_get_string(const char* key, const char* name, std::string* out) {
  std::lock_guard lock(settings_mutex_);
  const QVariant value = open_settings().value(setting_path(key, name));
  if (!value.isValid()) return false;
  const QByteArray text = value.toString().toUtf8();
  if (text.size() + 1 > kMaxSettingBytes) return false;
  *out = text.toStdString();
  return true;
}

void QtHost::settings_set_string(const char* key, const char* name, const char* text) {
  std::lock_guard lock(settings_mutex_);
  open_settings().setValue(setting_path(key, name), QString::fromUtf8(text));
}

bool QtHost::settings_get_dword(const char* key, const char* name, uint32_t* out) {
  std::lock_guard lock(settings_mutex_);
  bool ok = false;
  const uint32_t value = open_settings().value(setting_path(key, name)).toUInt(&ok);
  if (ok) *out = value;
  return ok;
}

void QtHost::settings_set_dword(const char* key, const char* name, uint32_t value) {
  std::lock_guard lock(settings_mutex_);
  open_settings().setValue(setting_path(key, name), value);
}

void QtHost::header_sanitizer_dialog() {
  run_on_ui([this] {
    {
      std::lock_guard lock(test_mutex_);
      if (test_mode_) {
        shown_.push_back({"", "Header Sanitizing Tool", MessageButtons::Ok, MessageIcon::None, true,
                          on_ui_thread()});
        return;
      }
    }
    header_sanitizer_dialog_exec(window_);
  });
}

char* QtHost::file_open_dialog(const char* title, const FileFilter* filters, int filter_count,
                               const char* initial_dir) {
  return file_dialog(false, title, filters, filter_count, initial_dir);
}

char* QtHost::file_save_dialog(const char* title, const FileFilter* filters, int filter_count,
                               const char* initial_dir) {
  return file_dialog(true, title, filters, filter_count, initial_dir);
}

char* QtHost::file_dialog(bool save, const char* title, const FileFilter* filters, int filter_count,
                          const char* initial_dir) {
  const QString qtitle = QString::fromUtf8(title);
  const QString filter = qt_filter(filters, filter_count);
  const QString dir =
      initial_dir && *initial_dir ? QString::fromUtf8(initial_dir) : QDir::currentPath();
  const QString chosen = run_on_ui([&]() -> QString {
    {
      std::lock_guard lock(test_mutex_);
      if (test_mode_) {
        file_calls_.push_back({title, filter.toStdString(), dir.toStdString()});
        std::optional<std::string> answer;
        if (!file_answers_.empty()) {
          answer = file_answers_.front();
          file_answers_.pop_front();
        }
        return answer ? QString::fromStdString(*answer) : QString();
      }
    }
    return save ? QFileDialog::getSaveFileName(window_, qtitle, dir, filter)
                : QFileDialog::getOpenFileName(window_, qtitle, dir, filter);
  });
  const QByteArray path = QFile::encodeName(chosen);
  // A path that does not fit the 260-byte buffer is refused, as the system's dialog does.
  if (path.isEmpty() || path.size() >= qsizetype(kFileDialogPathSize)) return nullptr;
  char* result = new char[kFileDialogPathSize];
  std::memcpy(result, path.constData(), size_t(path.size()) + 1);
  return result;
}

SoundDevice* QtHost::sound_device_open() { return sdl_sound_device_open(); }

void QtHost::set_test_mode(bool on) {
  std::lock_guard lock(test_mutex_);
  test_mode_ = on;
}

std::vector<QtHost::ShownBox> QtHost::shown_boxes() {
  std::lock_guard lock(test_mutex_);
  return shown_;
}

std::vector<QtHost::FileDialogCall> QtHost::file_dialog_calls() {
  std::lock_guard lock(test_mutex_);
  return file_calls_;
}

void QtHost::clear_records() {
  std::lock_guard lock(test_mutex_);
  shown_.clear();
  file_calls_.clear();
  file_answers_.clear();
}

void QtHost::script_file_dialog(std::optional<std::string> answer) {
  std::lock_guard lock(test_mutex_);
  file_answers_.push_back(std::move(answer));
}

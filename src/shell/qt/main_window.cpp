#include "shell/qt/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QIcon>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <thread>

#include "audio/apu.h"
#include "machine/emulation.h"
#include "machine/frame.h"
#include "machine/profile.h"
#include "shell/host.h"
#include "shell/plugins.h"
#include "shell/qt/dialogs/about_dialog.h"
#include "shell/qt/menu_table.h"
#include "shell/qt/screen_widget.h"
#include "shell/registry.h"
#include "state/slots.h"

MainWindow::MainWindow() : channel_mask_(kApuChannelAll) {
  setObjectName(kWindowClassName);
  // A caption, the system menu, a resizable frame and a minimise box; no maximise box.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  const QString title = QString::fromUtf8(kTitleFirst) + QString::fromUtf8(kTitleSecond);
  setWindowTitle(title);
  setWindowIcon(QIcon(about_logo()));
  emulation_set_title(title.toUtf8().constData());

  menuBar()->setNativeMenuBar(false);
  actions_ = menu_build(menuBar(), this);
  for (const auto& [id, a] : actions_) {
    connect(a, &QAction::triggered, this, [this, id = id] { command(id); });
  }
  // The profile chosen in an earlier session; anything but "hardware" is the classic one.
  char profile[kRegistryStringSize] = "";
  Profile chosen = Profile::Classic;
  if (registry_get_string(kRegistryOptions, "Profile", profile) == 0) {
    profile_from_name(profile, &chosen);
  }
  profile_choice = chosen;
  set_checked(ID_SETTINGS_HARDWARE, chosen == Profile::Hardware);

  screen_ = new ScreenWidget(this);
  setCentralWidget(screen_);
  screen_->setFocus();
  setAcceptDrops(true);
  refresh_recent_menu();

  host_window_.size = sizeof(HostWindow);
  host_window_.native = screen_;
  host_window_.host_data = this;
  host_window_.show_image = &MainWindow::host_show_image;
  host_window_.set_fullscreen = &MainWindow::host_set_fullscreen;
  host_window_.post_message = &MainWindow::host_post_message;
  host_window_.key_down = &MainWindow::host_key_down;

  // The machine's menu-held settings start as the menu shows them.
  ntsc_display = 1;
  thread_priority = 1;
  apply_sound_mask();
  state_select_slot(0);

  move(0, 0);
  set_client_size(kClientWidth, kClientHeight);
}

MainWindow::~MainWindow() {
  // The emulation thread draws into this window; it must be gone first.
  stop_game();
}

QAction* MainWindow::action(int id) const {
  const auto it = actions_.find(id);
  return it == actions_.end() ? nullptr : it->second;
}

void MainWindow::set_client_size(int width, int height) {
  // The menu bar wraps its titles onto more rows when the window is narrow.
  const int menu = menuBar()->isHidden() ? 0 : menuBar()->heightForWidth(width);
  resize(width, height + std::max(menu, 0));
}

QSize MainWindow::client_size() const { return screen_->size(); }

bool MainWindow::stop_game() {
  emulation_request_stop();
  // A game that shows a message box or the header sanitizer waits for this thread, so keep
  // serving such requests while waiting, or both would wait until the time ran out.
  QElapsedTimer timer;
  timer.start();
  while (emulation_running() && timer.elapsed() < kStopWaitMs) {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return !emulation_running();
}

void MainWindow::start_game(const char* path) {
  const bool stopped = stop_game();
  if (exiting()) return;  // Exit came while the old game stopped
  if (!stopped || !emulation_thread_start(path)) {
    host().message_box("The running game did not stop; the new ROM was not loaded.", "Vantrell",
                       MessageButtons::Ok, MessageIcon::Exclamation, true);
    return;
  }
  current_rom_ = path;
  remember_rom(path);
}

void MainWindow::exit_program() {
  if (exiting_) return;
  exiting_ = true;
  stop_game();
  // Queued, so that it ends the message loop and not a dialog's nested loop. Before the message
  // loop has started it is dropped; main looks at exiting() instead.
  QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

// Keys: F1 and F2 load and save the quick state when pressed; Alt+Enter and Alt+F4 act when
// released. Every key is also recorded for the input plug-in.
void MainWindow::keyPressEvent(QKeyEvent* event) {
  if (event->isAutoRepeat()) return;
  {
    std::lock_guard lock(keys_mutex_);
    keys_down_.insert(event->key());
  }
  if (event->key() == Qt::Key_F1) command(ID_FILE_QUICKLOAD);
  if (event->key() == Qt::Key_F2) command(ID_FILE_QUICKSAVE);
}

void MainWindow::keyReleaseEvent(QKeyEvent* event) {
  if (event->isAutoRepeat()) return;
  {
    std::lock_guard lock(keys_mutex_);
    keys_down_.erase(event->key());
  }
  if (!(event->modifiers() & Qt::AltModifier)) return;
  const int key = event->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter) command(ID_FILE_FULLSCREEN);
  if (key == Qt::Key_F4) command(ID_FILE_EXIT);
}

void MainWindow::changeEvent(QEvent* event) {
  // Keys released while another window had the focus never reach us: forget them all.
  if (event->type() == QEvent::ActivationChange && !isActiveWindow()) {
    std::lock_guard lock(keys_mutex_);
    keys_down_.clear();
  }
  QMainWindow::changeEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  exit_program();
  event->accept();
}

namespace {

// The file of a drop that is a single local file ending in .nes, or empty.
QString dropped_rom(const QMimeData* mime) {
  if (!mime || mime->urls().size() != 1 || !mime->urls()[0].isLocalFile()) return {};
  const QString path = mime->urls()[0].toLocalFile();
  return path.endsWith(QStringLiteral(".nes"), Qt::CaseInsensitive) ? path : QString();
}

// Cancels every open dialog and message box and closes open pop-up menus, so that their nested
// event loops end.
void close_dialogs() {
  for (int i = 0; i < 16 && QApplication::activePopupWidget(); ++i) {
    QApplication::activePopupWidget()->close();
  }
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (auto* dialog = qobject_cast<QDialog*>(w); dialog && dialog->isVisible()) dialog->reject();
  }
}

}  // namespace

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!dropped_rom(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const QByteArray path = QFile::encodeName(dropped_rom(event->mimeData()));
  // As the Load ROM dialog does, a path must fit its 260-byte buffer.
  if (path.isEmpty() || path.size() >= qsizetype(kFileDialogPathSize)) return;
  event->acceptProposedAction();
  start_game(path.constData());
}

// A cancelled box or dialog returns only once the handler that cancelled it has returned, and an
// emulation thread may be waiting for that box: so Exit waits for the nested loops to end.
void MainWindow::request_exit() {
  exit_requested_ = true;
  close_dialogs();
  QTimer::singleShot(0, this, &MainWindow::finish_requested_exit);
}

void MainWindow::finish_requested_exit() {
  close_dialogs();
  // A nested loop that is no dialog's gets about a second to end before Exit runs regardless.
  if (QThread::currentThread()->loopLevel() > 1 && ++exit_retries_ < 100) {
    QTimer::singleShot(10, this, &MainWindow::finish_requested_exit);
    return;
  }
  command(ID_FILE_EXIT);
}

void MainWindow::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  video_plugin.move_callback();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  video_plugin.move_callback();
}

// The plug-ins' view of the window. Everything but key_down and show_image is handed over to the
// user-interface thread, since plug-ins call from the emulation thread.
MainWindow* MainWindow::from(HostWindow* w) { return static_cast<MainWindow*>(w->host_data); }

void MainWindow::host_show_image(HostWindow* w, const uint32_t* pixels, int width, int height,
                                 int stride) {
  from(w)->screen_->show_image(pixels, width, height, stride);
}

void MainWindow::host_set_fullscreen(HostWindow* w, int fullscreen) {
  MainWindow* self = from(w);
  QMetaObject::invokeMethod(
      self, [self, fullscreen] { self->set_full_screen(fullscreen != 0); }, Qt::QueuedConnection);
}

void MainWindow::host_post_message(HostWindow* w, uint32_t message) {
  MainWindow* self = from(w);
  if (message != PLUGIN_MSG_HIDE_CURSOR && message != PLUGIN_MSG_SHOW_CURSOR) return;
  QMetaObject::invokeMethod(
      self, [self, message] { self->show_cursor(message == PLUGIN_MSG_SHOW_CURSOR); },
      Qt::QueuedConnection);
}

int MainWindow::host_key_down(HostWindow* w, int key) {
  MainWindow* self = from(w);
  std::lock_guard lock(self->keys_mutex_);
  return self->keys_down_.count(key) ? 1 : 0;
}

void MainWindow::set_full_screen(bool on) {
  // Full screen shows the picture alone, as an exclusive display mode would.
  menuBar()->setVisible(!on);
  if (on) {
    showFullScreen();
  } else {
    showNormal();
  }
}

// Hiding and showing nest, as the system cursor's display count does.
void MainWindow::show_cursor(bool show) {
  cursor_count_ += show ? 1 : -1;
  if (cursor_count_ < 0) {
    setCursor(Qt::BlankCursor);
    screen_->setCursor(Qt::BlankCursor);
  } else {
    unsetCursor();
    screen_->unsetCursor();
  }
}

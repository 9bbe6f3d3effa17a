// vantrell: the desktop program. Builds the main window, runs the start-up sequence and the
// message loop. Without a display it plays the cartridge with the headless tool instead.
#include <QApplication>
#include <QStringList>
#include <string>

#include "machine/emulation.h"
#include "shell/host.h"
#include "shell/qt/main_window.h"
#include "shell/qt/qt_host.h"
#include "shell/qt/signal_exit.h"
#include "shell/qt/startup.h"
#include "state/battery.h"

namespace {

std::string joined_arguments(int argc, char** argv) {
  std::string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) line += ' ';
    line += argv[i];
  }
  return line;
}

}  // namespace

int main(int argc, char** argv) {
  if (startup_without_display()) {
    return startup_headless_run(startup_rom_token(joined_arguments(argc, argv)));
  }

  // From here on a signal ends the program through Exit; one that comes before the window is
  // watched waits in the pipe.
  signal_exit_install();
  // The window keeps battery saves in the folder the Options dialog names.
  battery_config.enabled = true;
  QApplication app(argc, argv);  // takes Qt's own options out of argv
  QtHost qt_host;
  host_install(&qt_host);

  int status = 0;
  {
    MainWindow window;
    signal_exit_watch(&window, [&window] { window.request_exit(); });
    qt_host.set_window(&window);
    window.show();
    startup_run(window, joined_arguments(argc, argv));
    // Closing the window (or a signal) during the start-up's boxes and dialogs ends the program
    // here.
    if (!window.exiting()) status = app.exec();
    qt_host.set_window(nullptr);
  }
  // The window's stop has ended the game; its thread is joined before the program ends.
  emulation_thread_release();
  host_install(nullptr);
  return status;
}

#include "shell/qt/signal_exit.h"

#include <QObject>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

namespace {

int g_pipe[2] = {-1, -1};

void on_signal(int number) {
  const int saved_errno = errno;
  const char byte = char(number);
  [[maybe_unused]] const ssize_t written = write(g_pipe[1], &byte, 1);  // a full pipe is enough
  errno = saved_errno;
}

}  // namespace

bool signal_exit_install() {
  if (g_pipe[0] >= 0) return true;
  if (pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return false;
  struct sigaction action {};
  action.sa_handler = on_signal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  bool ok = true;
  for (const int number : {SIGTERM, SIGINT, SIGHUP}) ok &= sigaction(number, &action, nullptr) == 0;
  return ok;
}

void signal_exit_watch(QObject* context, std::function<void()> action) {
  if (g_pipe[0] < 0) return;
  auto* notifier = new QSocketNotifier(qintptr(g_pipe[0]), QSocketNotifier::Read, context);
  QObject::connect(notifier, &QSocketNotifier::activated, context, [action = std::move(action)] {
    char bytes[16];
    while (read(g_pipe[0], bytes, sizeof bytes) > 0) {
    }
    action();
  });
}

#else

bool signal_exit_install() { return false; }
void signal_exit_watch(QObject*, std::function<void()>) {}

#endif

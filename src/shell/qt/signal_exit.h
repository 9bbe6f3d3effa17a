// SIGTERM, SIGINT and SIGHUP end the desktop program the way File > Exit does. The handler only
// writes a byte to a pipe, which is all it may safely do; the pipe's reader on the
// user-interface thread does the rest from the event loop.
#pragma once

#include <functional>

class QObject;

// Creates the pipe and installs the handlers. False when that failed: the signals then keep their
// default action. Without POSIX signals it does nothing.
bool signal_exit_install();

// Calls action from the user-interface thread's event loop after each signal that arrives (or
// has arrived since signal_exit_install). The watch lives as long as context.
void signal_exit_watch(QObject* context, std::function<void()> action);

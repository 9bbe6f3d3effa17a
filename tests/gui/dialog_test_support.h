// Shared by the dialog tests: the application object (offscreen, settings in a temporary folder)
// and a way to answer a modal window that the code under test opens.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "shell/qt/dialogs/dialog_ids.h"

// The running QApplication, created on first use when the test program has none.
inline QApplication& gui_app() {
  if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) return *app;
  static QTemporaryDir config;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
  static int argc = 1;
  static char name[] = "vantrell_gui_tests";
  static char* argv[] = {name, nullptr};
  return *new QApplication(argc, argv);  // lives until the process ends
}

inline void click(QWidget* dialog, int id) {
  QAbstractButton* button = dialog_control_as<QAbstractButton>(dialog, id);
  ASSERT_NE(button, nullptr) << "no button id" << id;
  button->click();
}

// Calls answer() on the next modal (or owner-less) window of type T, from inside that window's
// event loop.
template <typename T>
class ModalAnswer {
 public:
  explicit ModalAnswer(std::function<void(T*)> answer) {
    QObject::connect(&timer_, &QTimer::timeout, [this, answer = std::move(answer)] {
      if (auto* window = find_window()) {
        timer_.stop();
        ++answered;
        answer(window);
      }
    });
    timer_.start(5);
  }
  int answered = 0;

 private:
  // The active modal window, or else a shown window without owner (see exec_without_owner).
  static T* find_window() {
    if (auto* modal = qobject_cast<T*>(QApplication::activeModalWidget())) return modal;
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* window = qobject_cast<T*>(w); window && window->isVisible()) return window;
    }
    return nullptr;
  }

  QTimer timer_;
};

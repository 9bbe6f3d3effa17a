// Shared by the dialog tests: reading and setting controls by id, answering a modal window that
// the code under test opens, and starting one of our cartridges in the window of the window tests
// (main_window_test_support.h). The test program's main provides the offscreen application.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>

#include "cheats/cheat_finder.h"
#include "main_window_test_support.h"
#include "shell/qt/dialogs/dialog_ids.h"

// The test program's application, which its main creates.
inline QApplication& gui_app() { return *qApp; }

inline void click(QWidget* dialog, int id) {
  QAbstractButton* button = dialog_control_as<QAbstractButton>(dialog, id);
  ASSERT_NE(button, nullptr) << "no button id " << id;
  button->click();
}

// The text of an edit, a label or a button.
inline QString text_of(QWidget* dialog, int id) {
  QWidget* control = dialog_control(dialog, id);
  if (auto* edit = qobject_cast<QLineEdit*>(control)) return edit->text();
  if (auto* label = qobject_cast<QLabel*>(control)) return label->text();
  if (auto* button = qobject_cast<QAbstractButton*>(control)) return button->text();
  ADD_FAILURE() << "no text control id " << id;
  return {};
}

// The texts of several controls, joined by "|".
inline std::string texts_of(QWidget* dialog, std::initializer_list<int> ids) {
  QStringList texts;
  for (int id : ids) texts << text_of(dialog, id);
  return texts.join('|').toStdString();
}

inline void set_text(QWidget* dialog, int id, const QString& text) {
  dialog_control_as<QLineEdit>(dialog, id)->setText(text);
}

// The lines of a list box, top to bottom.
inline QStringList lines_of(QWidget* dialog, int id) {
  QStringList lines;
  auto* list = dialog_control_as<QListWidget>(dialog, id);
  for (int i = 0; list && i < list->count(); ++i) lines << list->item(i)->text();
  return lines;
}

// Starts our cartridge `name` (e.g. "demo.nes") in the window and waits until it runs; false when
// the cartridges were not built.
inline bool start_cartridge(MainWindow& window, const char* name) {
  if (!std::filesystem::exists(rom_path(name))) return false;
  window.start_game(rom_path(name).c_str());
  EXPECT_TRUE(wait_until([] { return emu_stop == 0; }));
  return true;
}

// The byte the running game sees at `address`, or -1 while no game serves requests.
inline int game_byte(uint32_t address) {
  int value = -1;
  emulation_call([&] { value = finder_read_byte(address); });
  return value;
}

// Calls answer() on the next modal (or owner-less) window of type T, from inside that window's
// event loop. An answer that leaves the window open (a failed assertion) fails and closes it, so
// that the caller does not wait for ever.
template <typename T>
class ModalAnswer {
 public:
  explicit ModalAnswer(std::function<void(T*)> answer) {
    QObject::connect(&timer_, &QTimer::timeout, [this, answer = std::move(answer)] {
      if (auto* window = find_window()) {
        timer_.stop();
        ++answered;
        answer(window);
        if (window->isVisible()) {
          ADD_FAILURE() << "the answer left the window open";
          window->close();
        }
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

// What the plug-in tests share: loading a built plug-in as the program does, a fake host window
// that records what the plug-ins ask of it, and the plug-ins' settings.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QSettings>
#include <QTimer>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "shell/plugin_api.h"

// An export of build/plugins/<plugin>.so, opened as the program opens it; null when missing.
template <typename Fn>
Fn plugin_export(const char* plugin, const char* name) {
  const std::string path = std::string(VANTRELL_PLUGIN_DIR) + "/" + plugin + ".so";
  return reinterpret_cast<Fn>(dlsym(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL), name));
}

// A host window whose operations record their calls; key_down answers from `held`.
struct FakeHost {
  HostWindow window{sizeof(HostWindow), nullptr, this, show, fullscreen, post, key_down};
  QImage image;  // the last image shown
  int width = 0, height = 0, images = 0;
  std::vector<int> fullscreen_calls;
  std::vector<uint32_t> messages;
  std::set<int> held;

  explicit FakeHost(void* native = nullptr) { window.native = native; }
  uint32_t pixel(int x, int y) const { return image.pixel(x, y) & 0xFFFFFF; }

  static FakeHost& of(HostWindow* w) { return *static_cast<FakeHost*>(w->host_data); }
  static void show(HostWindow* w, const uint32_t* pixels, int width, int height, int stride) {
    FakeHost& h = of(w);
    h.image =
        QImage(reinterpret_cast<const uchar*>(pixels), width, height, stride, QImage::Format_RGB32)
            .copy();
    h.width = width;
    h.height = height;
    ++h.images;
  }
  static void fullscreen(HostWindow* w, int on) { of(w).fullscreen_calls.push_back(on); }
  static void post(HostWindow* w, uint32_t message) { of(w).messages.push_back(message); }
  static int key_down(HostWindow* w, int key) { return of(w).held.count(key) ? 1 : 0; }
};

// Runs `act` on the modal dialog that the next call opens; the dialog is closed afterwards.
inline void on_next_dialog(std::function<void(QDialog*)> act) {
  QTimer::singleShot(0, [act] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* dialog = qobject_cast<QDialog*>(w); dialog && dialog->isVisible()) {
        act(dialog);
        if (dialog->isVisible()) dialog->reject();
        return;
      }
    }
    ADD_FAILURE() << "no dialog opened";
  });
}

// The program's settings file, where the plug-ins keep their settings.
inline QSettings settings() {
  return QSettings(QSettings::IniFormat, QSettings::UserScope, "Vantrell", "Vantrell");
}
inline void clear_plugin_settings() { settings().remove("Plugins"); }

// The Qt video plug-in: shows the emulator's frame buffer in the host's client area, switches
// full screen (Escape on the client area leaves it), saves snapshots as BMP files and has an
// options dialog for the scaling filter and the pixel aspect.
//
// The host's show_image scales whatever it gets to the client area and has no filter setting, so
// the plug-in does the scaling itself: it hands over a canvas of the client area's size (learnt
// on the user-interface thread from the client widget) with the picture already scaled, in the
// chosen aspect and filter, and black bars around it. The host then has nothing left to scale,
// unless the canvas had to be reduced for a very large screen.
#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMetaObject>
#include <QThread>
#include <QWidget>
#include <atomic>
#include <cmath>
#include <mutex>
#include <vector>

#include "shell/plugin_api.h"
#include "video_qt/bmp_writer.h"
#include "video_qt/frame_scaler.h"
#include "video_qt/video_options.h"

#ifdef _WIN32
#define VIDEO_EXPORT extern "C" __declspec(dllexport)
#else
#define VIDEO_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

// What the user-interface thread's calls (SNAPSHOT, OPTIONS, MOVECALLBACK) need from a running
// game. Guarded by `mutex`, since INIT, DESTROY and RENDER come from the emulation thread.
struct Shared {
  std::mutex mutex;
  bool running = false;
  QWidget* client = nullptr;         // the host's client area, when it gave one
  std::vector<uint32_t> last_frame;  // the last frame shown, 256 × 240
  bool have_frame = false;
};
Shared shared;

// The emulation thread's own state between INIT and DESTROY.
struct Renderer {
  HostWindow* hwnd = nullptr;
  const uint8_t* frame_buffer = nullptr;
  ColourTable colours{};
  std::vector<uint32_t> frame;   // the converted frame, 256 × 240
  std::vector<uint32_t> canvas;  // what goes to show_image
  Rect canvas_size{}, picture{};
  FrameScaler scaler;
};
Renderer renderer;

// Full screen is switched on the emulation thread only (SETFULLSCREEN, and RENDER for Escape);
// the user-interface thread reads the state to decide whether Escape is ours, and asks for the
// leave through `leave_fullscreen`.
std::atomic<bool> fullscreen{false};
std::atomic<bool> leave_fullscreen{false};

// The client area in device pixels (0 while unknown) and the options in force; written by the
// user-interface thread, read by RENDER.
std::atomic<int> client_width{0}, client_height{0};
std::atomic<ScaleFilter> option_filter{ScaleFilter::Sharp};
std::atomic<PixelAspect> option_aspect{PixelAspect::Square};

void apply_options(const VideoOptions& o) {
  option_filter = o.filter;
  option_aspect = o.aspect;
}

bool on_gui_thread() {
  const QCoreApplication* app = QCoreApplication::instance();
  return app && QThread::currentThread() == app->thread();
}

void measure_client(const QWidget* client) {
  const qreal ratio = client->devicePixelRatioF();
  client_width = static_cast<int>(std::lround(client->width() * ratio));
  client_height = static_cast<int>(std::lround(client->height() * ratio));
}

// Measures the client area whenever it changes size, including changes that the host does not
// report through MOVECALLBACK (a menu bar hidden in full screen), and takes Escape in full screen.
class ClientWatcher : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Resize) measure_client(static_cast<QWidget*>(watched));
    if (event->type() == QEvent::KeyPress && fullscreen &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
      leave_fullscreen = true;
      return true;
    }
    return false;
  }
};

// Emulation thread: switches the host window and hides the cursor in full screen.
void show_fullscreen(HostWindow* hwnd, bool on) {
  fullscreen = on;
  leave_fullscreen = false;
  if (hwnd->set_fullscreen) hwnd->set_fullscreen(hwnd, on ? 1 : 0);
  if (hwnd->post_message) {
    hwnd->post_message(hwnd, on ? PLUGIN_MSG_HIDE_CURSOR : PLUGIN_MSG_SHOW_CURSOR);
  }
}

// On the user-interface thread: measure the client area now and follow it from then on.
void watch_client(QWidget* client) {
  static ClientWatcher* watcher = new ClientWatcher;  // lives on this thread, for good
  measure_client(client);
  client->installEventFilter(watcher);
}

// The running game's client widget, for calls from the user-interface thread.
QWidget* running_client() {
  std::lock_guard lock(shared.mutex);
  return shared.running ? shared.client : nullptr;
}

}  // namespace

VIDEO_EXPORT void FN_VIDEO_INIT(VideoInitInfo* info) {
  if (!info) return;
  Renderer& r = renderer;
  r.hwnd = info->hwnd;
  r.frame_buffer = info->frame_buffer;
  r.colours = info->palette ? colour_table_from_palette(info->palette) : ColourTable{};
  r.frame.assign(static_cast<size_t>(kFrameWidth) * kFrameHeight, 0);
  r.canvas.clear();
  r.canvas_size = r.picture = Rect{};
  fullscreen = false;
  leave_fullscreen = false;
  apply_options(load_video_options());

  QWidget* client = r.hwnd ? static_cast<QWidget*>(r.hwnd->native) : nullptr;
  {
    std::lock_guard lock(shared.mutex);
    shared.running = true;
    shared.client = client;
    shared.last_frame.assign(r.frame.size(), 0);
    shared.have_frame = false;
  }
  // Widgets may only be asked on their own thread: measure the client area there.
  client_width = client_height = 0;
  if (client && QCoreApplication::instance()) {
    QMetaObject::invokeMethod(
        client, [client] { watch_client(client); }, Qt::QueuedConnection);
  }
}

VIDEO_EXPORT void FN_VIDEO_DESTROY() {
  Renderer& r = renderer;
  if (fullscreen && r.hwnd) show_fullscreen(r.hwnd, false);  // the screen as the game found it
  fullscreen = false;
  {
    std::lock_guard lock(shared.mutex);
    shared.running = false;
    shared.client = nullptr;
    shared.have_frame = false;
  }
  r = Renderer{};
}

VIDEO_EXPORT void FN_VIDEO_RENDER() {
  Renderer& r = renderer;
  if (!r.frame_buffer) return;
  if (leave_fullscreen.exchange(false) && fullscreen && r.hwnd) show_fullscreen(r.hwnd, false);
  convert_frame(r.frame_buffer, r.colours, r.frame.data());
  {
    std::lock_guard lock(shared.mutex);
    shared.last_frame = r.frame;
    shared.have_frame = true;
  }
  if (!r.hwnd || !r.hwnd->show_image) return;

  const ScaleFilter filter = option_filter;
  const PixelAspect aspect = option_aspect;
  const Rect canvas = canvas_size(client_width, client_height, aspect);
  const Rect picture = picture_rect(canvas.width, canvas.height, aspect);
  if (canvas.width != r.canvas_size.width || canvas.height != r.canvas_size.height ||
      picture.width != r.picture.width || picture.height != r.picture.height) {
    r.canvas.assign(static_cast<size_t>(canvas.width) * canvas.height, 0);  // black bars
    r.canvas_size = canvas;
    r.picture = picture;
  }
  r.scaler.scale(r.frame.data(), filter, picture, r.canvas.data(), canvas.width);
  r.hwnd->show_image(r.hwnd, r.canvas.data(), canvas.width, canvas.height,
                     canvas.width * static_cast<int>(sizeof(uint32_t)));
}

VIDEO_EXPORT void FN_VIDEO_SETFULLSCREEN() {
  Renderer& r = renderer;
  if (r.hwnd) show_fullscreen(r.hwnd, !fullscreen);
}

VIDEO_EXPORT void FN_VIDEO_MOVECALLBACK() {
  if (!on_gui_thread()) return;
  if (const QWidget* client = running_client()) measure_client(client);
}

VIDEO_EXPORT void FN_VIDEO_SNAPSHOT(const char* file_name) {
  if (!file_name || !*file_name) return;
  std::vector<uint32_t> frame;
  {
    std::lock_guard lock(shared.mutex);
    if (!shared.running || !shared.have_frame) return;
    frame = shared.last_frame;
  }
  write_bmp(file_name, frame.data(), kFrameWidth, kFrameHeight, kFrameWidth);
}

VIDEO_EXPORT void FN_VIDEO_OPTIONS() {
  if (!on_gui_thread() || !qobject_cast<QApplication*>(QCoreApplication::instance())) return;
  QWidget* parent = running_client();
  parent = parent ? parent->window() : QApplication::activeWindow();
  VideoOptions options = load_video_options();
  if (!run_video_options_dialog(parent, &options)) return;
  save_video_options(options);
  apply_options(options);
}

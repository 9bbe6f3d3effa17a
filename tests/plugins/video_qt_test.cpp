// The video plug-in, loaded as the program loads it and driven through its exports.
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QWidget>
#include <QtEndian>
#include <array>

#include "tests/plugins/plugin_test_support.h"

namespace {

constexpr int kStride = 272;

template <typename Fn>
Fn video(const char* name) {
  return plugin_export<Fn>("video_qt", name);
}

class VideoQtTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(init && options && destroy && fullscreen && render && moved && snapshot);
    clear_plugin_settings();
    // Every entry its own colour, so that a wrong index shows.
    for (int i = 0; i < 256; ++i)
      palette[i] = {uint8_t(i), uint8_t(255 - i), uint8_t(i * 7), PALETTE_ENTRY_NOCOLLAPSE};
    // Indices from the whole byte range, bit 7 included; the slack holds an index never shown.
    for (int y = 0; y < 240; ++y) {
      for (int x = 0; x < kStride; ++x) frame[y * kStride + x] = x < 256 ? uint8_t(x ^ y) : 0xEE;
    }
  }
  void TearDown() override { destroy(); }

  void start(FakeHost& host) {
    info = {&host.window, nullptr, frame.data(), palette.data(), 0, 0, {}};
    init(&info);
  }
  uint32_t colour(int index) const {
    return uint32_t{palette[index].red} << 16 | palette[index].green << 8 | palette[index].blue;
  }
  uint32_t colour_at(int x, int y) const { return colour(frame[y * kStride + x]); }

  FnVideoInit init = video<FnVideoInit>(PLUGIN_EXPORT_VIDEO_INIT);
  FnVideoVoid options = video<FnVideoVoid>(PLUGIN_EXPORT_VIDEO_OPTIONS);
  FnVideoVoid destroy = video<FnVideoVoid>(PLUGIN_EXPORT_VIDEO_DESTROY);
  FnVideoVoid fullscreen = video<FnVideoVoid>(PLUGIN_EXPORT_VIDEO_SETFULLSCREEN);
  FnVideoVoid render = video<FnVideoVoid>(PLUGIN_EXPORT_VIDEO_RENDER);
  FnVideoVoid moved = video<FnVideoVoid>(PLUGIN_EXPORT_VIDEO_MOVECALLBACK);
  FnVideoSnapshot snapshot = video<FnVideoSnapshot>(PLUGIN_EXPORT_VIDEO_SNAPSHOT);
  std::array<PaletteEntry, 256> palette{};
  std::array<uint8_t, 240 * kStride> frame{};
  VideoInitInfo info{};
};

TEST_F(VideoQtTest, CallsWithoutARunningGameDoNothing) {
  QTemporaryDir dir;
  const QString file = dir.filePath("idle.bmp");
  FakeHost host;
  const auto idle_calls = [&] {
    for (FnVideoVoid call : {render, fullscreen, moved, destroy}) call();
    snapshot(file.toUtf8().constData());
  };
  idle_calls();  // before any INIT
  start(host);
  render();
  destroy();
  idle_calls();  // after DESTROY
  EXPECT_EQ(host.images, 1);
  EXPECT_TRUE(host.fullscreen_calls.empty());
  EXPECT_FALSE(QFile::exists(file));
}

TEST_F(VideoQtTest, SnapshotWritesTheLastFrameAsA24BitBmp) {
  QTemporaryDir dir;
  const QString file = dir.filePath("snapshot.bmp");
  FakeHost host;
  start(host);
  snapshot(file.toUtf8().constData());
  EXPECT_FALSE(QFile::exists(file)) << "nothing shown yet";
  render();
  const uint8_t shown = frame[0];
  frame[0] = 0x3F;  // changed after the last RENDER: not in the snapshot
  snapshot(file.toUtf8().constData());
  render();  // each RENDER reads the frame buffer anew
  EXPECT_EQ(host.pixel(0, 0), colour(0x3F));
  frame[0] = shown;

  QFile written(file);
  ASSERT_TRUE(written.open(QIODevice::ReadOnly));
  const QByteArray bmp = written.readAll();
  EXPECT_EQ(bmp.size(), 54 + 256 * 240 * 3);  // 24 bits a pixel; rows of 768 bytes need no padding
  EXPECT_EQ(qFromLittleEndian<quint32>(bmp.constData() + 2), uint32_t(bmp.size()));  // its size
  const QImage shot = QImage::fromData(bmp, "BMP");
  ASSERT_EQ(shot.size(), QSize(256, 240));
  for (int y = 0; y < 240; ++y) {
    for (int x = 0; x < 256; ++x)
      ASSERT_EQ(shot.pixel(x, y) & 0xFFFFFF, colour_at(x, y)) << x << "," << y;
  }
}

// Escape pressed on the client area is taken in full screen only, and served by the next RENDER.
TEST_F(VideoQtTest, FullScreenTogglesAndIsLeftOnEscapeAndOnDestroy) {
  QWidget client;
  FakeHost host(&client);
  start(host);
  QCoreApplication::processEvents();  // the plug-in watches the client from this thread
  const auto press = [&](int key) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(&client, &event);
    render();
    return event.isAccepted();  // a bare widget ignores keys; the plug-in takes its own
  };
  EXPECT_FALSE(press(Qt::Key_Escape));  // windowed: not the plug-in's key
  fullscreen();
  EXPECT_FALSE(press(Qt::Key_X));
  EXPECT_TRUE(press(Qt::Key_Escape));
  press(Qt::Key_Escape);
  fullscreen();
  fullscreen();
  fullscreen();
  destroy();
  EXPECT_EQ(host.fullscreen_calls, (std::vector<int>{1, 0, 1, 0, 1, 0}));
  constexpr uint32_t hide = PLUGIN_MSG_HIDE_CURSOR, show = PLUGIN_MSG_SHOW_CURSOR;
  EXPECT_EQ(host.messages, (std::vector<uint32_t>{hide, show, hide, show, hide, show}));
}

// The canvas is the client area, as measured when MOVECALLBACK reports a change (without one, the
// picture at its natural size); the picture fills it in the chosen aspect, with black bars, each
// pixel the frame's pixel under its centre through the palette.
TEST_F(VideoQtTest, RenderScalesTheFrameToTheClientAreaInTheChosenAspect) {
  struct Case {
    const char* aspect;
    int client_width, client_height;  // 0 × 0: no client area
    int left, top, width, height;     // where the picture lands
  } cases[] = {
      {"square", 0, 0, 0, 0, 256, 240},
      {"square", 600, 480, 44, 0, 512, 480},
      {"tv", 600, 480, 7, 0, 585, 480},   // 480 × 256 × 8 / (240 × 7) = 585
      {"tv", 293, 400, 0, 80, 293, 240},  // width-bound: bars above and below
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.aspect << " " << c.client_width << "x" << c.client_height);
    settings().setValue("Plugins/video_qt/Aspect", c.aspect);
    QWidget client;
    client.resize(c.client_width, c.client_height);
    FakeHost host(c.client_width ? &client : nullptr);
    start(host);
    moved();  // as the window reports a resize
    render();
    ASSERT_EQ(host.width, std::max(c.client_width, c.width));
    ASSERT_EQ(host.height, std::max(c.client_height, c.height));
    if (c.left || c.top) {
      EXPECT_EQ(host.pixel(std::max(c.left - 1, 0), std::max(c.top - 1, 0)), 0u) << "bar";
    }
    for (int y = 0; y < c.height; ++y) {
      for (int x = 0; x < c.width; ++x) {
        ASSERT_EQ(host.pixel(c.left + x, c.top + y),
                  colour_at((2 * x + 1) * 256 / (2 * c.width), (2 * y + 1) * 240 / (2 * c.height)))
            << x << "," << y;
      }
    }
    destroy();
  }
}

TEST_F(VideoQtTest, OptionsDialogStoresTheChoiceAndAppliesItAtOnce) {
  FakeHost host;
  start(host);
  on_next_dialog([](QDialog* d) {
    d->findChild<QRadioButton*>("filter_smooth")->setChecked(true);
    d->findChild<QRadioButton*>("aspect_tv")->setChecked(true);
    d->accept();
  });
  options();
  on_next_dialog([](QDialog* d) {
    d->findChild<QRadioButton*>("filter_sharp")->setChecked(true);
    d->reject();  // Cancel changes nothing
  });
  options();
  EXPECT_EQ(settings().value("Plugins/video_qt/Filter").toString(), "smooth");
  EXPECT_EQ(settings().value("Plugins/video_qt/Aspect").toString(), "tv");

  // Left half one colour, right half another: smooth scaling blends where they meet.
  for (int y = 0; y < 240; ++y) {
    for (int x = 0; x < 256; ++x) frame[y * kStride + x] = x < 128 ? 0 : 255;
  }
  render();
  EXPECT_EQ(host.width, 293);  // 256 pixels 8/7 wide at the natural height
  EXPECT_EQ(host.pixel(0, 100), colour(0));
  EXPECT_EQ(host.pixel(292, 100), colour(255));
  const uint32_t middle = host.pixel(146, 100);
  EXPECT_NE(middle, colour(0));
  EXPECT_NE(middle, colour(255));
}

}  // namespace

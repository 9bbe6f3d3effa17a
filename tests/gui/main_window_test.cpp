// The main window: its menu, title and client area, and the commands that only change menu state
// and the machine's shared settings.
#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

#include "audio/apu.h"
#include "cheats/game_genie.h"
#include "machine/frame.h"
#include "main_window_test_support.h"
#include "shell/qt/menu_table.h"
#include "shell/qt/screen_widget.h"

namespace {

// One line per entry: two spaces per level, then the text, the id and the state.
void dump(const QMenu* menu, int depth, std::string* out) {
  for (const QAction* a : menu->actions()) {
    *out += std::string(size_t(depth) * 2, ' ');
    if (a->isSeparator()) {
      *out += "-\n";
    } else if (a->menu()) {
      *out += a->text().toStdString() + "\n";
      dump(a->menu(), depth + 1, out);
    } else {
      *out += a->text().toStdString() + " " + std::to_string(a->data().toInt());
      if (a->isChecked()) *out += " checked";
      if (!a->isEnabled()) *out += " greyed";
      *out += "\n";
    }
  }
}

// Menu 101 as the system's resources describe it.
constexpr const char* kExpectedMenu = R"(&File
  &Load ROM 40001
  Free &ROM 40002
  -
  ROM &Info... 40010
  -
  &Current Save Slot
    Slot &0 40036 checked
    Slot &1 40037
    Slot &2 40038
    Slot &3 40039
    Slot &4 40040
    Slot &5 40041
    Slot &6 40042
    Slot &7 40043
    Slot &8 40044
    Slot &9 40045
  -
  &Save Snapshot 40060
  -
  &Quick Load State	F1 40047
  &Quick Save State	F2 40046
  -
  Load &State 40015
  &Save State 40016
  -
  &FullScreen	Alt+Enter 40006
  -
  E&xit 40003
&CPU
  &Reset 40004
  &Pause 40005
  -
  &Thread Priority
    &Lowest 40014
    &Normal 40012 checked
    &Highest 40013
&Settings
  &Set Mirroring
    &Vertical Mirroring 40029
    &Horizontal Mirroring 40030
    &Single Screen Low 40032
    &Single Screen High 40033
  -
  &Controllers
    &Plugin Settings 40008
  &Video
    &Zoom
      100% 40026 checked
      200% 40027
      300% 40028
    Display Type
      Display &All Scanlines 40048
      &NTSC  Display (224x256 40049 checked
    &VSync
      &Sync to 60 FPS 40062 checked
      &No VSync 40063
    -
    &Plugin Settings 40007
  &Audio
    &Sound Enabled 40061 checked
    &Enabled Channels
      &Square1 40054 checked
      &Square 2 40055 checked
      &Triangle 40056 checked
      &Noise 40057 checked
      &PCM 40058 checked
    -
    &Plugin Settings 40052 greyed
  -
  &Options 40009
&Goodies
  &Game Genie
    &Codes 40017
    &On 40018 checked
    O&ff 40019
  &Cheat Finder 40059
  -
  &Debugger 40021
  -
  &IPS Patcher 40022
  -
  &Name Table Viewer 40023
&Help
  &About 40011
  &Check Version 40024
)";

TEST_F(MainWindowTest, MenuBarIsTheResourceMenu) {
  EXPECT_EQ(window->windowTitle().toStdString(), "Vantrell WIP - For Windows 9x/2000");
  std::string menu;
  for (const QAction* a : window->menuBar()->actions()) {
    menu += a->text().toStdString() + "\n";
    dump(a->menu(), 1, &menu);
  }
  EXPECT_EQ(menu, kExpectedMenu);
}

TEST_F(MainWindowTest, ZoomSetsTheClientSizeAndKeepsThePosition) {
  window->show();
  ASSERT_TRUE(wait_until([&] { return window->isVisible(); }));
  const QPoint position = window->pos();
  const struct {
    int id;
    QSize size;
  } cases[] = {{ID_ZOOM_300, {768, 720}}, {ID_ZOOM_200, {512, 480}}, {ID_ZOOM_100, {256, 240}}};
  EXPECT_EQ(window->client_size(), QSize(256, 240));
  for (const auto& c : cases) {
    choose(c.id);
    ASSERT_TRUE(wait_until([&] { return window->client_size() == c.size; }, 2000)) << c.id;
    EXPECT_EQ(window->pos(), position);
    for (int id : {ID_ZOOM_100, ID_ZOOM_200, ID_ZOOM_300}) EXPECT_EQ(checked(id), id == c.id);
  }
}

TEST_F(MainWindowTest, PauseTogglesTheRequestAndItsMark) {
  choose(ID_CPU_PAUSE);
  EXPECT_EQ(emu_requests & REQUEST_PAUSE, REQUEST_PAUSE);
  EXPECT_TRUE(checked(ID_CPU_PAUSE));
  choose(ID_CPU_PAUSE);
  EXPECT_EQ(emu_requests & REQUEST_PAUSE, 0);
  EXPECT_FALSE(checked(ID_CPU_PAUSE));
}

TEST_F(MainWindowTest, ChoiceGroupsMoveTheirMarkAndSetTheMachine) {
  const struct {
    int id;
    std::vector<int> group;
    std::function<bool()> machine_agrees;
  } cases[] = {
      {ID_DISPLAY_ALLSCANLINES, {40048, 40049}, [] { return ntsc_display == 0; }},
      {ID_DISPLAY_NTSC, {40048, 40049}, [] { return ntsc_display == 1; }},
      {ID_GAMEGENIE_OFF, {40018, 40019}, [] { return !gg_enabled(); }},
      {ID_GAMEGENIE_ON, {40018, 40019}, [] { return gg_enabled(); }},
      {ID_PRIORITY_HIGHEST, {40014, 40012, 40013}, [] { return thread_priority == 2; }},
      {ID_PRIORITY_LOWEST, {40014, 40012, 40013}, [] { return thread_priority == 0; }},
      {ID_PRIORITY_NORMAL, {40014, 40012, 40013}, [] { return thread_priority == 1; }},
      {ID_SAVESLOT_0 + 7,
       {40036, 40037, 40038, 40039, 40040, 40041, 40042, 40043, 40044, 40045},
       [] { return true; }},
  };
  for (const auto& c : cases) {
    // Twice: choosing the marked item again keeps it marked.
    for (int round = 0; round < 2; ++round) {
      choose(c.id);
      EXPECT_TRUE(c.machine_agrees()) << c.id;
      for (int id : c.group) EXPECT_EQ(checked(id), id == c.id) << c.id << " " << id;
    }
  }
}

TEST_F(MainWindowTest, AudioItemsMuteChannelsUnderTheMasterSwitch) {
  choose(ID_CHANNEL_TRIANGLE);
  EXPECT_FALSE(checked(ID_CHANNEL_TRIANGLE));
  EXPECT_EQ(apu_channel_enabled.load(), kApuChannelAll & ~kApuChannelTriangle);

  choose(ID_AUDIO_SOUNDENABLED);
  EXPECT_FALSE(checked(ID_AUDIO_SOUNDENABLED));
  EXPECT_EQ(apu_channel_enabled.load(), 0);
  choose(ID_CHANNEL_NOISE);  // chosen while muted: remembered for later
  EXPECT_EQ(apu_channel_enabled.load(), 0);
  EXPECT_TRUE(checked(ID_CHANNEL_SQUARE1));

  choose(ID_AUDIO_SOUNDENABLED);
  EXPECT_EQ(apu_channel_enabled.load(), kApuChannelSquare1 | kApuChannelSquare2 | kApuChannelPcm);
  choose(ID_CHANNEL_TRIANGLE);
  choose(ID_CHANNEL_NOISE);
  EXPECT_EQ(apu_channel_enabled.load(), kApuChannelAll);
  for (int id = ID_CHANNEL_SQUARE1; id <= ID_CHANNEL_PCM; ++id) EXPECT_TRUE(checked(id));
}

TEST_F(MainWindowTest, ItemsWithoutActionKeepTheirMarks) {
  for (int id : {ID_VSYNC_NONE, ID_VSYNC_SYNC60}) choose(id);
  EXPECT_TRUE(checked(ID_VSYNC_SYNC60));
  EXPECT_FALSE(checked(ID_VSYNC_NONE));
}

TEST_F(MainWindowTest, PluginSettingsRunPausedAndSnapshotNamesItsFile) {
  static uint16_t requests_seen;
  static std::string snapshot_name;
  static int moves;
  video_plugin.options = [] { requests_seen = emu_requests; };
  video_plugin.snapshot = [](const char* name) { snapshot_name = name; };
  video_plugin.move_callback = [] { ++moves; };

  choose(ID_CPU_PAUSE);
  choose(ID_VIDEO_PLUGINSETTINGS);
  EXPECT_EQ(requests_seen & REQUEST_PAUSE, REQUEST_PAUSE);
  // The dialog's end also ends the user's pause, and the mark says so.
  EXPECT_EQ(emu_requests & REQUEST_PAUSE, 0);
  EXPECT_FALSE(checked(ID_CPU_PAUSE));

  choose(ID_FILE_SAVESNAPSHOT);
  EXPECT_EQ(snapshot_name, "snapshot.bmp");

  window->show();
  ASSERT_TRUE(wait_until([&] { return window->isVisible(); }));
  moves = 0;
  choose(ID_ZOOM_200);
  window->move(40, 30);
  EXPECT_TRUE(wait_until([] { return moves >= 2; }, 1000));
}

TEST_F(MainWindowTest, KeysReachThePluginsAndTheCommands) {
  HostWindow* hw = window->host_window();
  auto key = [&](QEvent::Type type, int k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent event(type, k, mods);
    QApplication::sendEvent(window->screen(), &event);
  };
  for (int k : {int(Qt::Key_X), int(Qt::Key_Tab)}) {  // Tab too: it does not move the focus
    key(QEvent::KeyPress, k);
    EXPECT_EQ(hw->key_down(hw, k), 1) << k;
    EXPECT_EQ(hw->key_down(hw, Qt::Key_Z), 0);
    key(QEvent::KeyRelease, k);
    EXPECT_EQ(hw->key_down(hw, k), 0) << k;
  }

  key(QEvent::KeyPress, Qt::Key_Return, Qt::AltModifier);
  EXPECT_EQ(emu_requests & REQUEST_FULLSCREEN, 0);  // served on release
  key(QEvent::KeyRelease, Qt::Key_Return, Qt::AltModifier);
  EXPECT_EQ(emu_requests & REQUEST_FULLSCREEN, REQUEST_FULLSCREEN);
  key(QEvent::KeyRelease, Qt::Key_Return);  // without Alt: nothing more
}

TEST_F(MainWindowTest, PluginsSwitchFullScreenAndTheCursor) {
  window->show();
  HostWindow* hw = window->host_window();
  hw->set_fullscreen(hw, 1);
  ASSERT_TRUE(wait_until([&] { return window->isFullScreen(); }));
  EXPECT_TRUE(window->menuBar()->isHidden());
  hw->set_fullscreen(hw, 0);
  ASSERT_TRUE(wait_until([&] { return !window->isFullScreen(); }));
  EXPECT_FALSE(window->menuBar()->isHidden());

  // Hiding nests: two hides need two shows.
  hw->post_message(hw, PLUGIN_MSG_HIDE_CURSOR);
  hw->post_message(hw, PLUGIN_MSG_HIDE_CURSOR);
  hw->post_message(hw, PLUGIN_MSG_SHOW_CURSOR);
  QCoreApplication::processEvents();
  EXPECT_EQ(window->screen()->cursor().shape(), Qt::BlankCursor);
  hw->post_message(hw, PLUGIN_MSG_SHOW_CURSOR);
  QCoreApplication::processEvents();
  EXPECT_EQ(window->screen()->cursor().shape(), Qt::ArrowCursor);
}

}  // namespace

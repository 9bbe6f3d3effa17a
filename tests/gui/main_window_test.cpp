// The main window: its menu, title and client area, and the commands that only change menu state
// and the machine's shared settings.
#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <tuple>

#include "audio/apu.h"
#include "cheats/game_genie.h"
#include "dialog_test_support.h"
#include "machine/frame.h"
#include "shell/qt/menu_table.h"
#include "shell/qt/screen_widget.h"

namespace {

// The documented menu, sampled: the bar's titles, then items by id as "menu: caption", with "*"
// when marked and "greyed" when greyed, from each menu and each initial state.
TEST_F(MainWindowTest, TitleAndMenuFollowTheDocumentedMenu) {
  EXPECT_EQ(window->windowTitle(), "Vantrell WIP - For Windows 9x/2000");
  QStringList seen;
  for (const QAction* a : window->menuBar()->actions()) seen << a->text();
  const std::pair<int, const char*> items[] = {
      {40001, "&File: &Load ROM"},
      {40003, "&File: E&xit"},
      {40047, "&File: &Quick Load State\tF1"},
      {40036, "&Current Save Slot: Slot &0 *"},
      {40045, "&Current Save Slot: Slot &9"},
      {40005, "&CPU: &Pause"},
      {40012, "&Thread Priority: &Normal *"},
      {40033, "&Set Mirroring: &Single Screen High"},
      {40008, "&Controllers: &Plugin Settings"},
      {40049, "Display Type: &NTSC  Display (224x256 *"},
      {40062, "&VSync: &Sync to 60 FPS *"},
      {40052, "&Audio: &Plugin Settings greyed"},
      {40058, "&Enabled Channels: &PCM *"},
      {40019, "&Game Genie: O&ff"},
      {40023, "&Goodies: &Name Table Viewer"},
      {40024, "&Help: &Check Version"},
  };
  QStringList expected = {"&File", "&CPU", "&Settings", "&Goodies", "&Help"};
  for (const auto& [id, text] : items) {
    const QAction* a = window->action(id);
    const auto* menu = a ? qobject_cast<const QMenu*>(a->associatedObjects().value(0)) : nullptr;
    seen << (menu ? menu->title() + ": " + a->text() + (a->isChecked() ? " *" : "") +
                        (a->isEnabled() ? "" : " greyed")
                  : QString::number(id));
    expected << text;
  }
  EXPECT_EQ(seen.join("\n").toStdString(), expected.join("\n").toStdString());
}

TEST_F(MainWindowTest, ZoomSetsTheClientSizeAndKeepsThePosition) {
  window->show();
  ASSERT_TRUE(wait_until([&] { return window->isVisible(); }));
  const QPoint position = window->pos();
  const std::pair<int, QSize> cases[] = {
      {ID_ZOOM_300, {768, 720}}, {ID_ZOOM_200, {512, 480}}, {ID_ZOOM_100, {256, 240}}};
  EXPECT_EQ(window->client_size(), QSize(256, 240));
  for (const auto& [item, size] : cases) {
    choose(item);
    ASSERT_TRUE(wait_until([&] { return window->client_size() == size; }, 2000)) << item;
    EXPECT_EQ(window->pos(), position);
    for (int id : {ID_ZOOM_100, ID_ZOOM_200, ID_ZOOM_300}) EXPECT_EQ(checked(id), id == item);
  }
}

TEST_F(MainWindowTest, PauseTogglesTheRequestAndItsMark) {
  for (bool paused : {true, false}) {
    choose(ID_CPU_PAUSE);
    EXPECT_EQ(emu_requests & REQUEST_PAUSE, paused ? REQUEST_PAUSE : 0);
    EXPECT_EQ(checked(ID_CPU_PAUSE), paused);
  }
}

// The VSync items do nothing: their mark stays where it was.
TEST_F(MainWindowTest, ChoiceGroupsMoveTheirMarkAndSetTheMachine) {
  const struct {
    int id;
    std::vector<int> group;
    std::function<bool()> machine_agrees;
    int marked = 0;  // the item marked afterwards when not the chosen one
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
      {ID_VSYNC_NONE, {40062, 40063}, [] { return true; }, ID_VSYNC_SYNC60},
  };
  for (const auto& c : cases) {
    // Twice: choosing the marked item again keeps it marked.
    for (int round = 0; round < 2; ++round) {
      choose(c.id);
      EXPECT_TRUE(c.machine_agrees()) << c.id;
      for (int id : c.group) EXPECT_EQ(checked(id), id == (c.marked ? c.marked : c.id)) << id;
    }
  }
}

// A channel chosen while the sound is off is remembered for when it is on again.
TEST_F(MainWindowTest, AudioItemsMuteChannelsUnderTheMasterSwitch) {
  const std::tuple<int, int, bool> steps[] = {
      {ID_CHANNEL_TRIANGLE, kApuChannelAll & ~kApuChannelTriangle, false},
      {ID_AUDIO_SOUNDENABLED, 0, false},
      {ID_CHANNEL_NOISE, 0, false},
      {ID_AUDIO_SOUNDENABLED, kApuChannelSquare1 | kApuChannelSquare2 | kApuChannelPcm, true},
      {ID_CHANNEL_TRIANGLE, kApuChannelAll & ~kApuChannelNoise, true},
      {ID_CHANNEL_NOISE, kApuChannelAll, true},
  };
  for (const auto& [id, channels, marked] : steps) {
    choose(id);
    EXPECT_EQ(apu_channel_enabled.load(), channels) << id;
    EXPECT_EQ(checked(id), marked) << id;
    EXPECT_TRUE(checked(ID_CHANNEL_SQUARE1)) << "a channel not chosen keeps its mark";
  }
  for (int id = ID_CHANNEL_SQUARE1; id <= ID_CHANNEL_PCM; ++id) EXPECT_TRUE(checked(id));
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

// Each dialog item opens its own dialog: the paused ones owned by the window with the pause
// request set, the cheat finder and the name-table viewer with neither.
TEST_F(MainWindowTest, DialogItemsOpenTheirDialogs) {
  const std::pair<int, std::string> cases[] = {
      {ID_FILE_ROMINFO, "ROM Info, paused, owned"},
      {ID_HELP_ABOUT, "About Vantrell, paused, owned"},
      {ID_GAMEGENIE_CODES, "Game Genie Codes, paused, owned"},
      {ID_GOODIES_CHEATFINDER, "Vantrell Cheat Finder"},
      {ID_GOODIES_DEBUGGER, "Vantrell Debugger, paused, owned"},
      {ID_GOODIES_IPSPATCHER, "IPS Patcher, paused, owned"},
      {ID_GOODIES_NAMETABLEVIEWER, "Name Tables"},
  };
  window->show();
  for (const auto& [id, expected] : cases) {
    std::string seen;
    ModalAnswer<QDialog> answer([&](QDialog* d) {
      seen = d->windowTitle().toStdString() + (emu_requests & REQUEST_PAUSE ? ", paused" : "") +
             (d->parentWidget() == window.get() ? ", owned" : "");
      d->done(kIdCancel);
    });
    choose(id);
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(emu_requests & REQUEST_PAUSE, 0) << expected;
  }
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

  key(QEvent::KeyRelease, Qt::Key_Return);                 // without Alt nothing, ...
  key(QEvent::KeyPress, Qt::Key_Return, Qt::AltModifier);  // ... with Alt only on release
  EXPECT_EQ(emu_requests & REQUEST_FULLSCREEN, 0);
  key(QEvent::KeyRelease, Qt::Key_Return, Qt::AltModifier);
  EXPECT_EQ(emu_requests & REQUEST_FULLSCREEN, REQUEST_FULLSCREEN);
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

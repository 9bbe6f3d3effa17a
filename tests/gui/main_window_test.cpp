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

// Each menu as one line "Title: entry, entry, ...", submenus after their parent: an item is its
// text and id, with "*" when marked and "greyed" when greyed; a submenu is "Title>".
void describe(const QMenu* menu, QStringList* out) {
  QStringList entries;
  QList<const QMenu*> submenus;
  for (const QAction* a : menu->actions()) {
    if (a->isSeparator()) {
      entries << "-";
    } else if (a->menu()) {
      entries << a->text() + ">";
      submenus << a->menu();
    } else {
      entries << a->text() + " " + QString::number(a->data().toInt()) +
                     (a->isChecked() ? " *" : "") + (a->isEnabled() ? "" : " greyed");
    }
  }
  *out << menu->title() + ": " + entries.join(", ");
  for (const QMenu* submenu : submenus) describe(submenu, out);
}

TEST_F(MainWindowTest, TitleAndMenuBarAreThoseOfTheProgram) {
  EXPECT_EQ(window->windowTitle(), "Vantrell WIP - For Windows 9x/2000");
  QStringList menu;
  for (const QAction* a : window->menuBar()->actions()) describe(a->menu(), &menu);
  const QStringList expected = {
      "&File: &Load ROM 40001, R&ecent ROMs>, Free &ROM 40002, -, ROM &Info... 40010, -, "
      "&Current Save Slot>, -, &Save Snapshot 40060, -, "
      "&Quick Load State\tF1 40047, &Quick Save State\tF2 40046, -, "
      "Load &State 40015, &Save State 40016, -, &FullScreen\tAlt+Enter 40006, -, E&xit 40003",
      "R&ecent ROMs: ",
      "&Current Save Slot: Slot &0 40036 *, Slot &1 40037, Slot &2 40038, Slot &3 40039, "
      "Slot &4 40040, Slot &5 40041, Slot &6 40042, Slot &7 40043, Slot &8 40044, Slot &9 40045",
      "&CPU: &Reset 40004, &Pause 40005, -, &Thread Priority>",
      "&Thread Priority: &Lowest 40014, &Normal 40012 *, &Highest 40013",
      "&Settings: &Set Mirroring>, -, &Controllers>, &Video>, &Audio>, -, &Options 40009",
      "&Set Mirroring: &Vertical Mirroring 40029, &Horizontal Mirroring 40030, "
      "&Single Screen Low 40032, &Single Screen High 40033",
      "&Controllers: &Plugin Settings 40008",
      "&Video: &Zoom>, Display Type>, &VSync>, -, &Plugin Settings 40007",
      "&Zoom: 100% 40026 *, 200% 40027, 300% 40028",
      "Display Type: Display &All Scanlines 40048, &NTSC  Display (224x256 40049 *",
      "&VSync: &Sync to 60 FPS 40062 *, &No VSync 40063",
      "&Audio: &Sound Enabled 40061 *, &Enabled Channels>, -, &Plugin Settings 40052 greyed",
      "&Enabled Channels: &Square1 40054 *, &Square 2 40055 *, &Triangle 40056 *, &Noise 40057 *, "
      "&PCM 40058 *",
      "&Goodies: &Game Genie>, &Cheat Finder 40059, -, &Debugger 40021, -, &IPS Patcher 40022, -, "
      "&Name Table Viewer 40023",
      "&Game Genie: &Codes 40017, &On 40018 *, O&ff 40019",
      "&Help: &About 40011, &Check Version 40024",
  };
  EXPECT_EQ(menu.join("\n").toStdString(), expected.join("\n").toStdString());
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

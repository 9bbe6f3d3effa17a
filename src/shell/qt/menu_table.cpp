#include "shell/qt/menu_table.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <vector>

namespace {

using enum MenuKind;

constexpr uint8_t kCheck = kMenuCheckable;
constexpr uint8_t kMarked = kMenuCheckable | kMenuChecked;

// The text after a tab is the key shown at the right of the item; the keys themselves are served
// by the window's key handlers, not by shortcuts.
constexpr MenuEntry kMenu[] = {
    {Popup, 0, "&File", 0},
    {Item, ID_FILE_LOADROM, "&Load ROM", 0},
    {Popup, ID_FILE_RECENT, "R&ecent ROMs", 0},  // filled by the window
    {End, 0, nullptr, 0},
    {Item, ID_FILE_FREEROM, "Free &ROM", 0},
    {Separator, 0, nullptr, 0},
    {Item, ID_FILE_ROMINFO, "ROM &Info...", 0},
    {Separator, 0, nullptr, 0},
    {Popup, 0, "&Current Save Slot", 0},
    {Item, ID_SAVESLOT_0 + 0, "Slot &0", kMarked},
    {Item, ID_SAVESLOT_0 + 1, "Slot &1", kCheck},
    {Item, ID_SAVESLOT_0 + 2, "Slot &2", kCheck},
    {Item, ID_SAVESLOT_0 + 3, "Slot &3", kCheck},
    {Item, ID_SAVESLOT_0 + 4, "Slot &4", kCheck},
    {Item, ID_SAVESLOT_0 + 5, "Slot &5", kCheck},
    {Item, ID_SAVESLOT_0 + 6, "Slot &6", kCheck},
    {Item, ID_SAVESLOT_0 + 7, "Slot &7", kCheck},
    {Item, ID_SAVESLOT_0 + 8, "Slot &8", kCheck},
    {Item, ID_SAVESLOT_0 + 9, "Slot &9", kCheck},
    {End, 0, nullptr, 0},
    {Separator, 0, nullptr, 0},
    {Item, ID_FILE_SAVESNAPSHOT, "&Save Snapshot", 0},
    {Separator, 0, nullptr, 0},
    {Item, ID_FILE_QUICKLOAD, "&Quick Load State\tF1", 0},
    {Item, ID_FILE_QUICKSAVE, "&Quick Save State\tF2", 0},
    {Separator, 0, nullptr, 0},
    {Item, ID_FILE_LOADSTATE, "Load &State", 0},
    {Item, ID_FILE_SAVESTATE, "&Save State", 0},
    {Separator, 0, nullptr, 0},
    {Item, ID_FILE_FULLSCREEN, "&FullScreen\tAlt+Enter", 0},
    {Separator, 0, nullptr, 0},
    {Item, ID_FILE_EXIT, "E&xit", 0},
    {End, 0, nullptr, 0},

    {Popup, 0, "&CPU", 0},
    {Item, ID_CPU_RESET, "&Reset", 0},
    {Item, ID_CPU_PAUSE, "&Pause", kCheck},
    {Separator, 0, nullptr, 0},
    {Popup, 0, "&Thread Priority", 0},
    {Item, ID_PRIORITY_LOWEST, "&Lowest", kCheck},
    {Item, ID_PRIORITY_NORMAL, "&Normal", kMarked},
    {Item, ID_PRIORITY_HIGHEST, "&Highest", kCheck},
    {End, 0, nullptr, 0},
    {End, 0, nullptr, 0},

    {Popup, 0, "&Settings", 0},
    {Popup, 0, "&Set Mirroring", 0},
    {Item, ID_MIRRORING_VERTICAL, "&Vertical Mirroring", 0},
    {Item, ID_MIRRORING_HORIZONTAL, "&Horizontal Mirroring", 0},
    {Item, ID_MIRRORING_SINGLELOW, "&Single Screen Low", 0},
    {Item, ID_MIRRORING_SINGLEHIGH, "&Single Screen High", 0},
    {End, 0, nullptr, 0},
    {Separator, 0, nullptr, 0},
    {Popup, 0, "&Controllers", 0},
    {Item, ID_CONTROLLERS_PLUGINSETTINGS, "&Plugin Settings", 0},
    {End, 0, nullptr, 0},
    {Popup, 0, "&Video", 0},
    {Popup, 0, "&Zoom", 0},
    {Item, ID_ZOOM_100, "100%", kMarked},
    {Item, ID_ZOOM_200, "200%", kCheck},
    {Item, ID_ZOOM_300, "300%", kCheck},
    {End, 0, nullptr, 0},
    {Popup, 0, "Display Type", 0},
    {Item, ID_DISPLAY_ALLSCANLINES, "Display &All Scanlines", kCheck},
    {Item, ID_DISPLAY_NTSC, "&NTSC  Display (224x256", kMarked},
    {End, 0, nullptr, 0},
    {Popup, 0, "&VSync", 0},
    {Item, ID_VSYNC_SYNC60, "&Sync to 60 FPS", kMarked},
    {Item, ID_VSYNC_NONE, "&No VSync", kCheck},
    {End, 0, nullptr, 0},
    {Separator, 0, nullptr, 0},
    {Item, ID_VIDEO_PLUGINSETTINGS, "&Plugin Settings", 0},
    {End, 0, nullptr, 0},
    {Popup, 0, "&Audio", 0},
    {Item, ID_AUDIO_SOUNDENABLED, "&Sound Enabled", kMarked},
    {Popup, 0, "&Enabled Channels", 0},
    {Item, ID_CHANNEL_SQUARE1, "&Square1", kMarked},
    {Item, ID_CHANNEL_SQUARE2, "&Square 2", kMarked},
    {Item, ID_CHANNEL_TRIANGLE, "&Triangle", kMarked},
    {Item, ID_CHANNEL_NOISE, "&Noise", kMarked},
    {Item, ID_CHANNEL_PCM, "&PCM", kMarked},
    {End, 0, nullptr, 0},
    {Separator, 0, nullptr, 0},
    {Item, ID_AUDIO_PLUGINSETTINGS, "&Plugin Settings", kMenuGreyed},
    {End, 0, nullptr, 0},
    {Item, ID_SETTINGS_HARDWARE, "Hardware &Accuracy", kCheck},
    {Separator, 0, nullptr, 0},
    {Item, ID_SETTINGS_OPTIONS, "&Options", 0},
    {End, 0, nullptr, 0},

    {Popup, 0, "&Goodies", 0},
    {Popup, 0, "&Game Genie", 0},
    {Item, ID_GAMEGENIE_CODES, "&Codes", 0},
    {Item, ID_GAMEGENIE_ON, "&On", kMarked},
    {Item, ID_GAMEGENIE_OFF, "O&ff", kCheck},
    {End, 0, nullptr, 0},
    {Item, ID_GOODIES_CHEATFINDER, "&Cheat Finder", 0},
    {Separator, 0, nullptr, 0},
    {Item, ID_GOODIES_DEBUGGER, "&Debugger", 0},
    {Separator, 0, nullptr, 0},
    {Item, ID_GOODIES_IPSPATCHER, "&IPS Patcher", 0},
    {Separator, 0, nullptr, 0},
    {Item, ID_GOODIES_NAMETABLEVIEWER, "&Name Table Viewer", 0},
    {End, 0, nullptr, 0},

    {Popup, 0, "&Help", 0},
    {Item, ID_HELP_ABOUT, "&About", 0},
    {Item, ID_HELP_CHECKVERSION, "&Check Version", 0},
    {End, 0, nullptr, 0},
};

}  // namespace

std::span<const MenuEntry> menu_table() { return kMenu; }

std::map<int, QAction*> menu_build(QMenuBar* bar, QWidget* owner) {
  std::map<int, QAction*> actions;
  std::vector<QMenu*> open;  // the pop-ups being filled, innermost last
  for (const MenuEntry& e : kMenu) {
    switch (e.kind) {
      case Popup: {
        const QString title = QString::fromUtf8(e.text);
        open.push_back(open.empty() ? bar->addMenu(title) : open.back()->addMenu(title));
        if (e.id) {
          QAction* a = open.back()->menuAction();
          a->setData(e.id);
          a->setObjectName(QStringLiteral("id%1").arg(e.id));
          actions[e.id] = a;
        }
        break;
      }
      case End: open.pop_back(); break;
      case Separator: open.back()->addSeparator(); break;
      case Item: {
        auto* a = new QAction(QString::fromUtf8(e.text), owner);
        a->setData(e.id);
        a->setObjectName(QStringLiteral("id%1").arg(e.id));
        a->setCheckable(e.state & kMenuCheckable);
        a->setChecked(e.state & kMenuChecked);
        a->setEnabled(!(e.state & kMenuGreyed));
        open.back()->addAction(a);
        actions[e.id] = a;
        break;
      }
    }
  }
  return actions;
}

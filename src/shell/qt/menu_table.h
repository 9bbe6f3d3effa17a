// Menu 101 of the main window: one table, written the way a resource script nests its pop-ups,
// from which the menu bar is built. The command ids are the interface between the menu and the
// window's command handler.
#pragma once

#include <cstdint>
#include <map>
#include <span>

class QAction;
class QMenuBar;
class QWidget;

enum CommandId : int {
  ID_FILE_LOADROM = 40001,
  ID_FILE_FREEROM = 40002,
  ID_FILE_EXIT = 40003,
  ID_CPU_RESET = 40004,
  ID_CPU_PAUSE = 40005,
  ID_FILE_FULLSCREEN = 40006,
  ID_VIDEO_PLUGINSETTINGS = 40007,
  ID_CONTROLLERS_PLUGINSETTINGS = 40008,
  ID_SETTINGS_OPTIONS = 40009,
  ID_FILE_ROMINFO = 40010,
  ID_HELP_ABOUT = 40011,
  ID_PRIORITY_NORMAL = 40012,
  ID_PRIORITY_HIGHEST = 40013,
  ID_PRIORITY_LOWEST = 40014,
  ID_FILE_LOADSTATE = 40015,
  ID_FILE_SAVESTATE = 40016,
  ID_GAMEGENIE_CODES = 40017,
  ID_GAMEGENIE_ON = 40018,
  ID_GAMEGENIE_OFF = 40019,
  ID_GOODIES_DEBUGGER = 40021,
  ID_GOODIES_IPSPATCHER = 40022,
  ID_GOODIES_NAMETABLEVIEWER = 40023,
  ID_HELP_CHECKVERSION = 40024,
  ID_ZOOM_100 = 40026,
  ID_ZOOM_200 = 40027,
  ID_ZOOM_300 = 40028,
  ID_MIRRORING_VERTICAL = 40029,
  ID_MIRRORING_HORIZONTAL = 40030,
  ID_MIRRORING_SINGLELOW = 40032,
  ID_MIRRORING_SINGLEHIGH = 40033,
  ID_SAVESLOT_0 = 40036,  // ... ID_SAVESLOT_0 + 9 = 40045
  ID_SAVESLOT_9 = 40045,
  ID_FILE_QUICKSAVE = 40046,
  ID_FILE_QUICKLOAD = 40047,
  ID_DISPLAY_ALLSCANLINES = 40048,
  ID_DISPLAY_NTSC = 40049,
  ID_AUDIO_PLUGINSETTINGS = 40052,
  ID_CHANNEL_SQUARE1 = 40054,
  ID_CHANNEL_SQUARE2 = 40055,
  ID_CHANNEL_TRIANGLE = 40056,
  ID_CHANNEL_NOISE = 40057,
  ID_CHANNEL_PCM = 40058,
  ID_GOODIES_CHEATFINDER = 40059,
  ID_FILE_SAVESNAPSHOT = 40060,
  ID_AUDIO_SOUNDENABLED = 40061,
  ID_VSYNC_SYNC60 = 40062,
  ID_VSYNC_NONE = 40063,
  ID_SETTINGS_HARDWARE = 40064,  // Settings > Hardware Accuracy: the profile of the next power-on
  // Past the resource's ids: File > Recent ROMs and its entries, the most recent first.
  ID_FILE_RECENT = 40100,
  ID_RECENT_FIRST = 40101,  // ... ID_RECENT_FIRST + 9 = 40110
  ID_RECENT_LAST = 40110,
};

enum class MenuKind : uint8_t { Popup, Item, Separator, End };

// Item states: a check mark shown now, a greyed item, and an item that can carry a check mark.
inline constexpr uint8_t kMenuChecked = 1;
inline constexpr uint8_t kMenuGreyed = 2;
inline constexpr uint8_t kMenuCheckable = 4;

struct MenuEntry {
  MenuKind kind;
  int id;  // 0 for separators, ends and pop-ups that need not be found
  const char* text;
  uint8_t state;
};

// The menu, top to bottom; every Popup is closed by an End.
std::span<const MenuEntry> menu_table();

// Fills the menu bar from the table. Every item becomes a QAction parented to `owner` with its
// id in data() and the object name "id<NUMBER>"; the returned map finds them by id, and a pop-up
// with an id by its menuAction().
std::map<int, QAction*> menu_build(QMenuBar* bar, QWidget* owner);

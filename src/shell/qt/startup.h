// The program's start-up, in the order the system fixes: the window and its title (built by
// MainWindow), the start-up notice, the plug-in names (asking for them through the Options
// dialog when missing), the palette, the processor, the plug-ins, and the ROM named on the
// command line. The message loop follows in main.
#pragma once

#include <string>

class MainWindow;

inline constexpr const char* kStartupNotice =
    "This is a work-in-progress version of Vantrell.\n\n"
    "Some features are missing and some games will not run correctly yet. Save your progress "
    "often, and tell us what goes wrong.\n\n"
    "The Vantrell developers";

// Everything between showing the window and the message loop.
void startup_run(MainWindow& window, const std::string& command_line);

// The ROM named on a command line: its first token delimited by spaces, or empty. No quoting is
// recognised, so a path with a space cannot be given.
std::string startup_rom_token(const std::string& command_line);

// True on a Linux system where no window can be opened: DISPLAY, WAYLAND_DISPLAY and
// QT_QPA_PLATFORM are all unset.
bool startup_without_display();

// The run without a window: plays `rom` (the demo cartridge when empty) with the headless tool
// beside this program and says where the last frame and the sound went. Returns the exit status.
int startup_headless_run(const std::string& rom);

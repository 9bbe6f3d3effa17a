// Help > Check Version: fetches /version.dat from the maker's web host and says whether a newer
// version than this one exists.
#pragma once

class QWidget;

// The program's own version, compared exactly with the number the web host names.
inline constexpr double kVantrellVersion = 0.06;
// The host when the setting VersionHost (under Software/Vantrell/Options) is absent; a host may
// carry a port ("127.0.0.1:8123").
inline constexpr const char* kDefaultVersionHost = "vantrell.org";

// One blocking GET with the game paused, then exactly one message box, owned by `owner` when one
// is given. Ends by clearing the pause request.
void version_check(QWidget* owner);

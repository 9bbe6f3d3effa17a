// The ROMs loaded last, most recent first and each once, kept in the settings as "Recent0" to
// "Recent9" under the options key.
#pragma once

#include <string>
#include <vector>

inline constexpr size_t kRecentRomCount = 10;

std::vector<std::string> recent_roms();
// Rewrites the whole list (the first ten entries); an empty list clears it.
void recent_roms_write(const std::vector<std::string>& paths);
// Puts path first. A path too long for a setting (255 bytes with its NUL) would read back as
// absent, so it is not kept.
void recent_roms_add(const std::string& path);
void recent_roms_remove(const std::string& path);

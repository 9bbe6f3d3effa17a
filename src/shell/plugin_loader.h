// Finding, loading and checking the video and input plug-ins (shared objects). A plug-in that
// cannot be loaded, or lacks one of its exports, is replaced by the do-nothing plug-in.
#pragma once

#include <string>
#include <vector>

inline constexpr size_t kPluginPathSize = 256;

// The chosen plug-ins' file names (as the Options dialog lists them); empty when none.
extern char video_plugin_path[kPluginPathSize];
extern char input_plugin_path[kPluginPathSize];

// Resolves the seven video exports from video_plugin_path, or reports the plug-in invalid,
// installs the do-nothing slots and empties the "Video" setting.
void plugin_load_video();
// The same for the four input exports and "Input".
void plugin_load_input();

// The folders searched for plug-ins, in order: the current directory, then the program's own
// plugins/ folder.
std::vector<std::string> plugin_search_dirs();
// The file names (*.so) in those folders that export `export_name`, in the order found.
std::vector<std::string> plugin_enumerate(const char* export_name);

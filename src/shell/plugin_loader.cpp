#include "shell/plugin_loader.h"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "shell/host.h"
#include "shell/plugins.h"
#include "shell/registry.h"

char video_plugin_path[kPluginPathSize] = "";
char input_plugin_path[kPluginPathSize] = "";

namespace {

namespace fs = std::filesystem;

// A bare name is looked up in the search folders; a name with a slash is taken as a path.
// Handles are never closed: a plug-in stays loaded for the rest of the run.
void* open_plugin(const char* name) {
  if (!name || !*name) return nullptr;
  if (std::strchr(name, '/')) return dlopen(name, RTLD_NOW | RTLD_LOCAL);
  for (const std::string& dir : plugin_search_dirs()) {
    const fs::path candidate = fs::path(dir) / name;
    std::error_code ec;
    if (!fs::is_regular_file(candidate, ec)) continue;
    if (void* h = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL)) return h;
  }
  return nullptr;
}

template <typename Fn>
bool resolve(void* handle, const char* name, Fn* slot) {
  void* symbol = handle ? dlsym(handle, name) : nullptr;
  if (!symbol) return false;
  *slot = reinterpret_cast<Fn>(symbol);
  return true;
}

void report_invalid(const char* text, const char* setting) {
  host().message_box(text, "Error in Plugin!", MessageButtons::Ok, MessageIcon::None, true);
  registry_set_string(kRegistryPlugins, setting, "");
}

}  // namespace

std::vector<std::string> plugin_search_dirs() {
  std::vector<std::string> dirs;
  std::error_code ec;
  dirs.push_back(fs::current_path(ec).string());
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) dirs.push_back((exe.parent_path() / "plugins").string());
  return dirs;
}

void plugin_load_video() {
  void* h = open_plugin(video_plugin_path);
  VideoPluginSlots s{};
  const bool ok = resolve(h, PLUGIN_EXPORT_VIDEO_INIT, &s.init) &&
                  resolve(h, PLUGIN_EXPORT_VIDEO_OPTIONS, &s.options) &&
                  resolve(h, PLUGIN_EXPORT_VIDEO_DESTROY, &s.destroy) &&
                  resolve(h, PLUGIN_EXPORT_VIDEO_SETFULLSCREEN, &s.set_fullscreen) &&
                  resolve(h, PLUGIN_EXPORT_VIDEO_RENDER, &s.render) &&
                  resolve(h, PLUGIN_EXPORT_VIDEO_MOVECALLBACK, &s.move_callback) &&
                  resolve(h, PLUGIN_EXPORT_VIDEO_SNAPSHOT, &s.snapshot);
  if (ok) {
    video_plugin = s;
    return;
  }
  plugin_null_video();
  report_invalid("Video Plugin DLL is invalid!  Reverting to NULL Plugin", "Video");
}

void plugin_load_input() {
  void* h = open_plugin(input_plugin_path);
  InputPluginSlots s{};
  const bool ok = resolve(h, PLUGIN_EXPORT_INPUT_INIT, &s.init) &&
                  resolve(h, PLUGIN_EXPORT_INPUT_OPTIONS, &s.options) &&
                  resolve(h, PLUGIN_EXPORT_INPUT_DESTROY, &s.destroy) &&
                  resolve(h, PLUGIN_EXPORT_INPUT_GETDATA, &s.get_data);
  if (ok) {
    input_plugin = s;
    return;
  }
  plugin_null_input();
  report_invalid("Input Plugin DLL is invalid!  Reverting to NULL Plugin", "Input");
}

std::vector<std::string> plugin_enumerate(const char* export_name) {
  std::vector<std::string> names;
  for (const std::string& dir : plugin_search_dirs()) {
    std::error_code ec;
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
      if (entry.path().extension() == ".so") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& f : files) {
      const std::string name = f.filename().string();
      if (std::find(names.begin(), names.end(), name) != names.end()) continue;
      void* h = dlopen(f.c_str(), RTLD_NOW | RTLD_LOCAL);
      if (h && dlsym(h, export_name)) names.push_back(name);
    }
  }
  return names;
}

#include "shell/qt/recent_roms.h"

#include <algorithm>

#include "shell/registry.h"

namespace {

std::string value_name(size_t index) { return "Recent" + std::to_string(index); }

}  // namespace

std::vector<std::string> recent_roms() {
  std::vector<std::string> paths;
  for (size_t i = 0; i < kRecentRomCount; ++i) {
    char text[kRegistryStringSize];
    if (registry_get_string(kRegistryOptions, value_name(i).c_str(), text) == 0 && text[0]) {
      paths.emplace_back(text);
    }
  }
  return paths;
}

// The settings cannot remove a value: an entry past the list's end is emptied, if it was used.
void recent_roms_write(const std::vector<std::string>& paths) {
  for (size_t i = 0; i < kRecentRomCount; ++i) {
    const std::string name = value_name(i);
    char text[kRegistryStringSize];
    if (i < paths.size()) {
      registry_set_string(kRegistryOptions, name.c_str(), paths[i].c_str());
    } else if (registry_get_string(kRegistryOptions, name.c_str(), text) == 0 && text[0]) {
      registry_set_string(kRegistryOptions, name.c_str(), "");
    }
  }
}

void recent_roms_add(const std::string& path) {
  if (path.empty() || path.size() + 1 >= kRegistryStringSize) return;  // the NUL must fit too
  std::vector<std::string> paths = recent_roms();
  std::erase(paths, path);
  paths.insert(paths.begin(), path);
  recent_roms_write(paths);
}

void recent_roms_remove(const std::string& path) {
  std::vector<std::string> paths = recent_roms();
  std::erase(paths, path);
  recent_roms_write(paths);
}

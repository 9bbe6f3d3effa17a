#include "shell/registry.h"

#include <cstring>
#include <string>

#include "shell/host.h"

int registry_get_string(const char* key, const char* name, char* out) {
  std::string text;
  if (!host().settings_get_string(key, name, &text) || text.size() >= kRegistryStringSize) {
    return -1;
  }
  std::memcpy(out, text.c_str(), text.size() + 1);
  return 0;
}

int registry_set_string(const char* key, const char* name, const char* text) {
  host().settings_set_string(key, name, text);
  return 0;
}

int registry_get_dword(const char* key, const char* name, uint32_t* out) {
  return host().settings_get_dword(key, name, out) ? 0 : -1;
}

int registry_set_dword(const char* key, const char* name, uint32_t value) {
  host().settings_set_dword(key, name, value);
  return 0;
}

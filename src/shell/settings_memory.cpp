// The default settings store: a map in memory. The desktop replaces it with its persistent one.
#include <map>
#include <mutex>
#include <string>
#include <variant>

#include "shell/host.h"

namespace {

constexpr size_t kMaxStringBytes = 255;

std::mutex g_mutex;
std::map<std::string, std::variant<std::string, uint32_t>> g_values;

std::string full_name(const char* key, const char* name) { return std::string(key) + "/" + name; }

}  // namespace

bool Host::settings_get_string(const char* key, const char* name, std::string* out) {
  std::lock_guard lock(g_mutex);
  const auto it = g_values.find(full_name(key, name));
  if (it == g_values.end()) return false;
  const auto* text = std::get_if<std::string>(&it->second);
  // The stored text and its terminating NUL must fit the 255-byte read buffer.
  if (!text || text->size() + 1 > kMaxStringBytes) return false;
  *out = *text;
  return true;
}

void Host::settings_set_string(const char* key, const char* name, const char* text) {
  std::lock_guard lock(g_mutex);
  g_values[full_name(key, name)] = std::string(text);
}

bool Host::settings_get_dword(const char* key, const char* name, uint32_t* out) {
  std::lock_guard lock(g_mutex);
  const auto it = g_values.find(full_name(key, name));
  if (it == g_values.end()) return false;
  const auto* value = std::get_if<uint32_t>(&it->second);
  if (!value) return false;
  *out = *value;
  return true;
}

void Host::settings_set_dword(const char* key, const char* name, uint32_t value) {
  std::lock_guard lock(g_mutex);
  g_values[full_name(key, name)] = value;
}

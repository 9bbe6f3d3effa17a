// Every persistent setting goes through these four helpers, over the host's settings store.
#pragma once

#include <cstdint>

inline constexpr const char* kRegistryPlugins = "Software/Vantrell/Plugins";
inline constexpr const char* kRegistryOptions = "Software/Vantrell/Options";
inline constexpr uint32_t kRegistryStringSize = 256;  // callers' buffers hold at least this

// 0 and the NUL-terminated text in out (at least 256 bytes), or -1 when absent or too long.
int registry_get_string(const char* key, const char* name, char* out);
// 0; a failing write is ignored.
int registry_set_string(const char* key, const char* name, const char* text);
int registry_get_dword(const char* key, const char* name, uint32_t* out);
int registry_set_dword(const char* key, const char* name, uint32_t value);

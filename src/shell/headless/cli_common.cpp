#include "shell/headless/cli_common.h"

#include <cerrno>
#include <cstdlib>

int cli_usage_error(const std::string& message, std::FILE* err) {
  std::fprintf(err, "vantrell-cli: %s\nTry 'vantrell-cli --help'.\n", message.c_str());
  return kExitUsage;
}

bool cli_parse_number(const std::string& text, int base, uint32_t min, uint32_t max,
                      uint32_t* out) {
  if (text.empty() || text[0] == '-' || text[0] == '+') return false;
  char* end = nullptr;
  errno = 0;
  const unsigned long v = std::strtoul(text.c_str(), &end, base);
  if (*end != 0 || errno != 0 || v < min || v > max) return false;
  *out = uint32_t(v);
  return true;
}

int cli_load_failure(LoadResult result, std::FILE* err) {
  const LoadMessage m = load_result_message(result);
  std::fprintf(err, "%s: %s\n", m.caption ? m.caption : "ROM Error",
               m.text ? m.text : "The ROM could not be loaded");
  return kExitFailure;
}

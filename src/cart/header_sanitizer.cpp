#include "cart/header_sanitizer.h"

#include <cstdio>

std::string header_sanitizer_read(const char* path) {
  if (!path) return {};
  std::FILE* f = std::fopen(path, "rb");
  if (!f) return {};
  char bytes[kSanitizerShowBytes + 1] = {};
  size_t got = 0;
  if (std::fseek(f, kSanitizerShowOffset, SEEK_SET) == 0) {
    got = std::fread(bytes, 1, kSanitizerShowBytes, f);
  }
  std::fclose(f);
  bytes[got] = 0;
  return std::string(bytes);  // stops at the first zero byte
}

int header_sanitizer_clean(const char* path) {
  if (!path) return -1;
  std::FILE* f = std::fopen(path, "r+b");  // existing file only, never truncated
  if (!f) return -1;
  const unsigned char zeros[kSanitizerCleanBytes] = {};
  bool ok = std::fseek(f, kSanitizerCleanOffset, SEEK_SET) == 0 &&
            std::fwrite(zeros, 1, sizeof zeros, f) == sizeof zeros;
  ok = std::fclose(f) == 0 && ok;
  return ok ? 0 : -1;
}

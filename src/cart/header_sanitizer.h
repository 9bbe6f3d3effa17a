// The Header Sanitizing Tool's file work. Old iNES tools left junk (often a signature such as
// "DiskDude!") in header bytes 7-15; the loader then ignores byte 7. Cleaning zeros bytes 8-15
// in the file so that its next load reads byte 7 again. The image in memory is never touched.
#pragma once

#include <string>

inline constexpr long kSanitizerShowOffset = 7;  // bytes 7-15 are shown
inline constexpr int kSanitizerShowBytes = 9;
inline constexpr long kSanitizerCleanOffset = 8;  // bytes 8-15 are zeroed
inline constexpr int kSanitizerCleanBytes = 8;

// Header bytes 7-15 of the file as text, ending at the first zero byte among them. Empty when
// the file cannot be read.
std::string header_sanitizer_read(const char* path);

// Writes eight zero bytes over header bytes 8-15 of an existing file. 0 on success; -1 when the
// file cannot be opened for writing (nothing is created or changed) or the write fails.
int header_sanitizer_clean(const char* path);

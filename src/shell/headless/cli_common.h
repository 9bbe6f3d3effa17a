// What the commands of vantrell-cli share: the exit statuses, the usage message, number parsing
// and the report of a failed load.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "cart/cartridge.h"

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Prints the message with a pointer to --help and returns kExitUsage.
int cli_usage_error(const std::string& message, std::FILE* err = stderr);

// A whole text as an unsigned number in `base` within [min, max]; no sign, nothing after it.
bool cli_parse_number(const std::string& text, int base, uint32_t min, uint32_t max, uint32_t* out);

// True for the load results a game runs with.
inline bool cli_loaded(LoadResult r) { return r == LoadResult::Ok || r == LoadResult::DirtyHeader; }

// Reports a failed load as the desktop would, its caption and message, and returns kExitFailure.
int cli_load_failure(LoadResult result, std::FILE* err = stderr);

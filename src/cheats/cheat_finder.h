// The cheat finder: searches the running game's memory for the address of a quantity (by its
// value, or by how it changed since the last search), keeps named addresses, and writes a chosen
// byte to one of them. Its lists live for the whole run, across games.
//
// Every operation that reads or writes game memory must run where the machine's memory exists
// and is not being changed under it: on the emulation thread between two frames (emulation_call),
// or in a test that owns the machine.
#pragma once

#include <cstdint>

inline constexpr int32_t kFinderMaxResults = 32767;
inline constexpr int32_t kFinderMaxNamed = 256;
inline constexpr int32_t kFinderNameSize = 32767;  // bytes per name, with its terminating zero
inline constexpr uint32_t kFinderMemorySize = 0x10000;

// How a search by change compares each byte now with its value at the previous search.
enum class FinderChange : uint8_t { Equal, LessOrEqual, GreaterOrEqual, NotEqual, Greater, Less };

class CheatFinder {
 public:
  CheatFinder();
  virtual ~CheatFinder();

  uint32_t results[kFinderMaxResults];  // CPU addresses, ascending after a new search
  int32_t result_count;
  char names[kFinderMaxNamed][kFinderNameSize];
  uint32_t named_addresses[kFinderMaxNamed];
  int32_t named_count;

  // The 64 KB as the last search saw them, the reference of the next search by change.
  uint8_t snapshot[kFinderMemorySize];
  bool has_snapshot;
};
extern CheatFinder cheat_finder;

inline constexpr const char* kFinderBadHexText =
    "Invalid Hexadecimal String! (Valid Hexadecimal Digits 0-F)";
inline constexpr const char* kFinderTooManyNamesText = "Too many named cheats! (256 Maximum)";

// The memory view: below $6000 the flat memory itself (no register side effects); from $6000 the
// 8 KB page mapped there, so a write at $8000 and above changes the program data. Without a
// machine, reads give 0 and writes are dropped.
uint8_t finder_read_byte(uint32_t address);
void finder_write_byte(uint32_t address, uint8_t value);

// New search: every address $0000-$FFFF holding value, ascending, at most 32,767. Refine: keeps,
// in order, the results that still hold value. Returns the new result count.
int32_t finder_search_value(uint8_t value, bool refine);
// Keeps, in order, the results whose byte now compares so with the previous search's snapshot;
// with no results it starts from every address (at most 32,767 kept). The first search ever only
// takes the snapshot. Returns the new result count.
int32_t finder_search_change(FinderChange how);
// Takes the snapshot that the next search by change compares with, unless one exists.
void finder_ensure_snapshot();
// The result list becomes that one address.
void finder_set_single(uint32_t address);
// Appends a named address. With 256 names already, shows a message and returns -1.
int finder_add_named(uint32_t address, const char* name);

// An address in hexadecimal, with an optional "$", "0x" or "0X" in front. A character that is no
// hexadecimal digit shows a message and gives 0; empty text or a prefix alone gives 0.
uint32_t finder_parse_hex(const char* text);
// A signed decimal number (leading blanks, optional sign, digits up to the first other
// character; 0 without digits), of which only the low 8 bits count: 300 is 44, -1 is 255.
uint8_t finder_parse_decimal(const char* text);

uint32_t finder_result(int32_t index);
int32_t finder_result_count();
uint32_t finder_named_address(int32_t index);
const char* finder_name(int32_t index);
int32_t finder_named_count();

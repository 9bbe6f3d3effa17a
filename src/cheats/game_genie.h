// Game Genie codes patch the program data that is mapped at their addresses. The list is decoded
// again at every program-bank sync, so a code reaches every bank ever mapped at its address.
#pragma once

#include <cstdint>

inline constexpr int kGgMaxCodes = 32767;
inline constexpr int kGgCodeSize = 36;  // bytes per code text, with its terminating zero

// The code list of the whole run (empty at start, kept across games, never saved).
class GameGenieList {
 public:
  GameGenieList();
  virtual ~GameGenieList();

  char entries[kGgMaxCodes][kGgCodeSize];
  int32_t count;

  // What the last decode produced.
  uint8_t page;   // CPU page slot 4-7
  uint16_t base;  // first address of that page
  uint8_t value;
  uint8_t compare;
  uint32_t address;
};
extern GameGenieList game_genie;

// The sixteen code letters in value order: A is 0, N is 15.
inline constexpr char kGgLetters[] = "APZLGITYEOXUKSVN";

// The value 0-15 of a code letter, either case; any other character counts as A.
uint8_t gg_decode_letter(char c);

// Decode one code of six (or eight) letters into the scratch fields and patch the byte of the
// bank mapped at its address now (an eight-letter code only where that byte equals its compare
// value). Without mapped pages they decode only.
void gg_apply_6(const char* text);
void gg_apply_8(const char* text);

// Applies every code of the list, in order, to the banks now mapped; called after each
// program-bank sync. Does nothing while the list is empty or switched off.
void gg_apply_all();

// The On / Off switch: while off, gg_apply_all patches nothing. On at start.
void gg_set_enabled(bool on);
bool gg_enabled();

int32_t gg_count();
// Sets the number of codes in use (clamped to 0-32,767).
void gg_set_count(int32_t n);
const char* gg_code_text(int32_t index);
// Stores a code text in its slot, cut to 35 bytes.
void gg_set_code_text(int32_t index, const char* text);

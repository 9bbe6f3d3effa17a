#include "cheats/game_genie.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>

#include "machine/machine.h"

// The list starts empty. The code slots are left to the zeroed static storage, so that the
// 1.2 MB of them take no room in the program file.
GameGenieList::GameGenieList() : count(0), page(0), base(0), value(0), compare(0), address(0) {}
GameGenieList::~GameGenieList() = default;

GameGenieList game_genie;

namespace {

std::atomic<bool> g_enabled{true};

constexpr std::array<uint8_t, 256> make_letter_values() {
  std::array<uint8_t, 256> values{};
  for (uint8_t v = 0; v < 16; ++v) {
    const char upper = kGgLetters[v];
    values[uint8_t(upper)] = v;
    values[uint8_t(upper - 'A' + 'a')] = v;
  }
  return values;
}
constexpr std::array<uint8_t, 256> kLetterValues = make_letter_values();

// Decodes the address (from the first six letters) and the page that holds it.
void decode_address(const uint8_t* n) {
  const uint32_t address =
      0x8000 + (((n[3] & 7) << 12) | ((n[4] & 8) << 8) | ((n[5] & 7) << 8) | ((n[1] & 8) << 4) |
                ((n[2] & 7) << 4) | (n[3] & 8) | (n[4] & 7));
  game_genie.address = address;
  game_genie.page = uint8_t(address >> 13);  // 4 below $A000 ... 7 from $E000
  game_genie.base = uint16_t(address & 0xE000);
}

// A text shorter than the code reads as ending in A letters.
void decode_letters(const char* text, uint8_t* n, int length) {
  bool ended = false;
  for (int i = 0; i < length; ++i) {
    ended = ended || text[i] == 0;
    n[i] = ended ? 0 : gg_decode_letter(text[i]);
  }
}

// The byte of the bank mapped at the decoded address now, or null when no bank is mapped.
uint8_t* mapped_byte() {
  if (!shadow_context) return nullptr;
  uint8_t* page = shadow_context->pages[game_genie.page];
  return page ? page + (game_genie.address - game_genie.base) : nullptr;
}

}  // namespace

uint8_t gg_decode_letter(char c) { return kLetterValues[uint8_t(c)]; }

void gg_apply_6(const char* text) {
  uint8_t n[6];
  decode_letters(text, n, 6);
  game_genie.value = uint8_t(((n[0] & 8) << 4) | ((n[1] & 7) << 4) | (n[5] & 8) | (n[0] & 7));
  decode_address(n);
  if (uint8_t* byte = mapped_byte()) *byte = game_genie.value;
}

void gg_apply_8(const char* text) {
  uint8_t n[8];
  decode_letters(text, n, 8);
  game_genie.value = uint8_t(((n[0] & 8) << 4) | ((n[1] & 7) << 4) | (n[7] & 8) | (n[0] & 7));
  game_genie.compare = uint8_t(((n[6] & 8) << 4) | ((n[7] & 7) << 4) | (n[5] & 8) | (n[6] & 7));
  decode_address(n);
  uint8_t* byte = mapped_byte();
  if (byte && *byte == game_genie.compare) *byte = game_genie.value;
}

void gg_apply_all() {
  // The bank-switch path: one test when there is nothing to do.
  if (game_genie.count < 1 || !g_enabled.load(std::memory_order_relaxed)) return;
  for (int32_t i = 0; i < game_genie.count; ++i) {
    const char* code = game_genie.entries[i];
    const size_t length = std::strlen(code);
    if (length == 6) {
      gg_apply_6(code);
    } else if (length == 8) {
      gg_apply_8(code);
    }
  }
}

void gg_set_enabled(bool on) { g_enabled.store(on); }
bool gg_enabled() { return g_enabled.load(); }

int32_t gg_count() { return game_genie.count; }
void gg_set_count(int32_t n) { game_genie.count = std::clamp(n, 0, kGgMaxCodes); }

const char* gg_code_text(int32_t index) { return game_genie.entries[index]; }

void gg_set_code_text(int32_t index, const char* text) {
  char* slot = game_genie.entries[index];
  std::strncpy(slot, text, kGgCodeSize - 1);
  slot[kGgCodeSize - 1] = 0;
}

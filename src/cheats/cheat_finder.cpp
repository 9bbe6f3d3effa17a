#include "cheats/cheat_finder.h"

#include <cctype>
#include <cstring>

#include "machine/machine.h"
#include "shell/host.h"

// The lists start empty; the static storage is already zero, so the constructor leaves the large
// arrays untouched and the pages of the name store are only ever used as names are added.
CheatFinder::CheatFinder() : result_count(0), named_count(0), has_snapshot(false) {}
CheatFinder::~CheatFinder() = default;

CheatFinder cheat_finder;

namespace {

constexpr uint32_t kFirstMappedAddress = 0x6000;

bool compares(FinderChange how, uint8_t now, uint8_t before) {
  switch (how) {
    case FinderChange::Equal: return now == before;
    case FinderChange::LessOrEqual: return now <= before;
    case FinderChange::GreaterOrEqual: return now >= before;
    case FinderChange::NotEqual: return now != before;
    case FinderChange::Greater: return now > before;
    case FinderChange::Less: return now < before;
  }
  return false;
}

// The CPU's pages as they are now (a bank switch since the last refresh may have moved them).
void refresh_view() {
  if (shadow_context) cpu_get_context(shadow_context);
}

void take_snapshot() {
  for (uint32_t a = 0; a < kFinderMemorySize; ++a) cheat_finder.snapshot[a] = finder_read_byte(a);
  cheat_finder.has_snapshot = true;
}

void show_error(const char* text) {
  host().message_box(text, "Error", MessageButtons::Ok, MessageIcon::None, false);
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

uint8_t finder_read_byte(uint32_t address) {
  address &= 0xFFFF;
  if (!shadow_context) return 0;
  if (address < kFirstMappedAddress) return shadow_context->memory[address];
  const uint8_t* page = shadow_context->pages[address / kCpuPageSize];
  return page ? page[address % kCpuPageSize] : 0;
}

void finder_write_byte(uint32_t address, uint8_t value) {
  address &= 0xFFFF;
  if (!shadow_context) return;
  if (address < kFirstMappedAddress) {
    shadow_context->memory[address] = value;
    return;
  }
  if (uint8_t* page = shadow_context->pages[address / kCpuPageSize]) {
    page[address % kCpuPageSize] = value;
  }
}

int32_t finder_search_value(uint8_t value, bool refine) {
  refresh_view();
  CheatFinder& f = cheat_finder;
  int32_t kept = 0;
  if (refine) {
    for (int32_t i = 0; i < f.result_count; ++i) {
      if (finder_read_byte(f.results[i]) == value) f.results[kept++] = f.results[i];
    }
  } else {
    for (uint32_t a = 0; a < kFinderMemorySize && kept < kFinderMaxResults; ++a) {
      if (finder_read_byte(a) == value) f.results[kept++] = a;
    }
  }
  f.result_count = kept;
  take_snapshot();
  return kept;
}

int32_t finder_search_change(FinderChange how) {
  refresh_view();
  CheatFinder& f = cheat_finder;
  if (!f.has_snapshot) {
    take_snapshot();
    return f.result_count;
  }
  int32_t kept = 0;
  if (f.result_count > 0) {
    for (int32_t i = 0; i < f.result_count; ++i) {
      const uint32_t a = f.results[i];
      if (compares(how, finder_read_byte(a), f.snapshot[a])) f.results[kept++] = a;
    }
  } else {
    for (uint32_t a = 0; a < kFinderMemorySize && kept < kFinderMaxResults; ++a) {
      if (compares(how, finder_read_byte(a), f.snapshot[a])) f.results[kept++] = a;
    }
  }
  f.result_count = kept;
  take_snapshot();
  return kept;
}

void finder_ensure_snapshot() {
  if (cheat_finder.has_snapshot) return;
  refresh_view();
  take_snapshot();
}

void finder_set_single(uint32_t address) {
  cheat_finder.results[0] = address & 0xFFFF;
  cheat_finder.result_count = 1;
}

int finder_add_named(uint32_t address, const char* name) {
  CheatFinder& f = cheat_finder;
  if (f.named_count >= kFinderMaxNamed) {
    show_error(kFinderTooManyNamesText);
    return -1;
  }
  char* slot = f.names[f.named_count];
  const size_t length = strnlen(name ? name : "", kFinderNameSize - 1);
  std::memcpy(slot, name ? name : "", length);
  slot[length] = 0;
  f.named_addresses[f.named_count] = address & 0xFFFF;
  ++f.named_count;
  return 0;
}

uint32_t finder_parse_hex(const char* text) {
  if (!text) return 0;
  if (text[0] == '$') {
    text += 1;
  } else if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text += 2;
  }
  uint32_t number = 0;
  for (; *text; ++text) {
    const int digit = hex_digit(*text);
    if (digit < 0) {
      show_error(kFinderBadHexText);
      return 0;
    }
    number = number << 4 | uint32_t(digit);
  }
  return number;
}

uint8_t finder_parse_decimal(const char* text) {
  if (!text) return 0;
  while (std::isspace(uint8_t(*text))) ++text;
  const bool negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  // Unsigned arithmetic wraps where a long number would overflow; the low 8 bits are the same.
  uint32_t number = 0;
  for (; *text >= '0' && *text <= '9'; ++text) number = number * 10 + uint32_t(*text - '0');
  return uint8_t(negative ? 0u - number : number);
}

uint32_t finder_result(int32_t index) { return cheat_finder.results[index]; }
int32_t finder_result_count() { return cheat_finder.result_count; }
uint32_t finder_named_address(int32_t index) { return cheat_finder.named_addresses[index]; }
const char* finder_name(int32_t index) { return cheat_finder.names[index]; }
int32_t finder_named_count() { return cheat_finder.named_count; }

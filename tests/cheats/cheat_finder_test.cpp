#include "cheats/cheat_finder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

#include "support/machine_fixture.h"

namespace {

std::vector<uint32_t> results() {
  std::vector<uint32_t> out;
  for (int32_t i = 0; i < finder_result_count(); ++i) out.push_back(finder_result(i));
  return out;
}

bool has(const std::vector<uint32_t>& list, uint32_t address) {
  return std::find(list.begin(), list.end(), address) != list.end();
}

// A fresh finder on a machine powered on with a mapper 0 image: $0000-$7FFF read as zero.
class CheatFinderTest : public MachineFixture {
 protected:
  void SetUp() override {
    cheat_finder.result_count = 0;
    cheat_finder.named_count = 0;
    cheat_finder.has_snapshot = false;
    power_on(InesBuilder());
  }
};

// A bad digit shows one message box and gives 0.
TEST(CheatFinderParse, HexAddresses) {
  RecordingHost host;
  const struct {
    const char* text;
    uint32_t number;
    bool message = false;
  } cases[] = {
      {"$07A2", 0x07A2}, {"0x07a2", 0x07A2}, {"0X7A2", 0x07A2}, {"07A2", 0x07A2},
      {"7a2", 0x07A2},   {"fFfF", 0xFFFF},   {"", 0},           {"$", 0},
      {"0x", 0},         {"07G2", 0, true},  {" 7A2", 0, true}, {"$0x12", 0, true},
  };
  const std::vector<std::string> box = {
      "Error|Invalid Hexadecimal String! (Valid Hexadecimal Digits 0-F)|-"};
  for (const auto& c : cases) {
    host.messages.clear();
    EXPECT_EQ(finder_parse_hex(c.text), c.number) << c.text;
    EXPECT_EQ(host.shown(), c.message ? box : std::vector<std::string>{}) << c.text;
  }
}

TEST(CheatFinderParse, DecimalValuesKeepTheLowEightBits) {
  const struct {
    const char* text;
    uint8_t value;
  } cases[] = {{"42", 42},    {"300", 44},  {"-1", 255},      {"256", 0}, {"+7", 7},
               {" \t12", 12}, {"12ab", 12}, {"ab12", 0},      {"", 0},    {"-", 0},
               {"-300", 212}, {"255", 255}, {"4294967297", 1}};
  for (const auto& c : cases) EXPECT_EQ(finder_parse_decimal(c.text), c.value) << c.text;
}

TEST(CheatFinderView, WithoutAMachineReadsZeroAndDropsWrites) {
  ASSERT_EQ(shadow_context, nullptr);
  finder_write_byte(0x0010, 5);
  EXPECT_EQ(finder_read_byte(0x0010), 0);
  EXPECT_EQ(finder_read_byte(0x8000), 0);
}

// Below $6000 the flat memory itself (a register address has no side effect); from $6000 the
// mapped pages, so a write at $8000 and above lands in the program data.
TEST_F(CheatFinderTest, MemoryViewReadsFlatMemoryAndTheMappedPages) {
  flat()[0x2002] = 0x42;
  ppu.status = 0x80;
  EXPECT_EQ(finder_read_byte(0x2002), 0x42);
  EXPECT_EQ(ppu.status, 0x80);

  finder_write_byte(0x07A2, 9);
  EXPECT_EQ(flat()[0x07A2], 9);
  finder_write_byte(0x6001, 0x33);
  EXPECT_EQ(shadow_context->pages[3][1], 0x33);
  EXPECT_EQ(finder_read_byte(0x8010), cartridge.prg_rom[0x10]);
  EXPECT_EQ(finder_read_byte(0xC010), cartridge.prg_rom[0x10]) << "16 KB shows twice";
  finder_write_byte(0xC010, 0x99);
  EXPECT_EQ(cartridge.prg_rom[0x10], 0x99);
}

TEST_F(CheatFinderTest, ValueSearchKeepsTheFirst32767AndRefinesInOrder) {
  EXPECT_EQ(finder_search_value(0, false), kFinderMaxResults);
  std::vector<uint32_t> first(kFinderMaxResults);
  std::iota(first.begin(), first.end(), 0u);
  EXPECT_EQ(results(), first);

  for (uint32_t a : {0x0123u, 0x0456u, 0x6789u}) flat()[a] = 0x77;
  finder_search_value(0x77, false);
  const std::vector<uint32_t> found = results();
  EXPECT_TRUE(has(found, 0x0123) && has(found, 0x0456) && has(found, 0x6789));
  for (uint32_t a : found) EXPECT_EQ(finder_read_byte(a), 0x77) << a;

  flat()[0x0456] = 0x78;
  finder_search_value(0x77, true);
  std::vector<uint32_t> expected = found;
  std::erase(expected, 0x0456u);
  EXPECT_EQ(results(), expected);

  // Nothing holds 0x79 among these; an empty list stays empty.
  EXPECT_EQ(finder_search_value(0x79, true), 0);
  flat()[0x0123] = 0x79;
  EXPECT_EQ(finder_search_value(0x79, true), 0);
  finder_set_single(0x107A2);  // by address: that one (16-bit) address
  EXPECT_EQ(results(), (std::vector<uint32_t>{0x07A2}));
}

// Three bytes at 5 become 4, 5 and 6 ("-", "=" and "+"); each comparison keeps those that
// changed so.
TEST_F(CheatFinderTest, ChangeSearchComparesWithTheLastSearchesSnapshot) {
  const std::pair<FinderChange, const char*> cases[] = {
      {FinderChange::Equal, "="},           {FinderChange::LessOrEqual, "-="},
      {FinderChange::GreaterOrEqual, "=+"}, {FinderChange::NotEqual, "-+"},
      {FinderChange::Greater, "+"},         {FinderChange::Less, "-"}};
  for (const auto& [how, kept] : cases) {
    for (uint32_t a : {0x300, 0x301, 0x302}) flat()[a] = 5;
    finder_search_value(5, false);
    flat()[0x300] = 4, flat()[0x302] = 6;
    finder_search_change(how);
    std::string got;
    for (auto [a, mark] : {std::pair{0x300u, '-'}, {0x301u, '='}, {0x302u, '+'}}) {
      if (has(results(), a)) got += mark;
    }
    EXPECT_EQ(got, kept) << int(how);
  }
  // Each search took a new snapshot: nothing has changed since.
  const int32_t before = finder_result_count();
  EXPECT_EQ(finder_search_change(FinderChange::Equal), before);
}

TEST_F(CheatFinderTest, ChangeSearchWithoutResultsStartsFromEveryAddress) {
  // The first search ever has nothing to compare with: it only takes the snapshot.
  EXPECT_EQ(finder_search_change(FinderChange::NotEqual), 0);
  flat()[0x0042] = 1;
  flat()[0x7000] = 3;
  finder_search_change(FinderChange::NotEqual);
  EXPECT_EQ(results(), (std::vector<uint32_t>{0x0042, 0x7000}));
  cheat_finder.result_count = 0;
  EXPECT_EQ(finder_search_change(FinderChange::Equal), kFinderMaxResults);
}

TEST_F(CheatFinderTest, NamedCheatsStopAt256WithAMessage) {
  for (uint32_t i = 0; i < uint32_t(kFinderMaxNamed); ++i)
    ASSERT_EQ(finder_add_named(i, i % 2 ? "Lives" : std::to_string(i).c_str()), 0);
  EXPECT_TRUE(host_.messages.empty());
  EXPECT_EQ(finder_add_named(0x0777, "one too many"), -1);
  EXPECT_EQ(host_.shown(),
            std::vector<std::string>{"Error|Too many named cheats! (256 Maximum)|-"});
  EXPECT_EQ(finder_named_count(), kFinderMaxNamed);
  // Nothing named is lost, and equal names keep their own addresses.
  for (int32_t i : {3, 254, 255}) {
    EXPECT_STREQ(finder_name(i), i % 2 ? "Lives" : "254");
    EXPECT_EQ(finder_named_address(i), uint32_t(i));
  }
}

}  // namespace

// Tests of the client header's lookups on many small tables, against plain loops written here:
// repeated codes wherever they stand, the closing entry never found, the first of two names.
#include "include/protowrap/protocol_table.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>

namespace {

constexpr const char* kNames[] = {"A", "Bb", "Ccc", "D", "Ee", "Fff",
                                  "G", "Hh", "Iii", "J", "Kk", "Lll"};

// Tables of N - 1 entries (none at all when N is 1) and the closing one (or, every other round, N
// entries and none, as a table whose enumeration ended in "} ;"), with random values, each checked
// against the pairwise comparison and a search from the front. Names are given with their lengths,
// or without (an entry written as {name, value}, as a client's own table may be).
template <std::size_t N>
void CheckTables(std::mt19937& random) {
  for (int round = 0; round < 3000; ++round) {
    const std::size_t n = round % 2 == 0 ? N - 1 : N;
    protowrap::Entry table[N] = {};
    // Narrow ranges make repeats likely (the first takes in 0, the closing entry's code too); the
    // wide one takes in negative and extreme codes.
    const int spread = round % 3 == 0   ? static_cast<int>(n) + 1
                       : round % 3 == 1 ? static_cast<int>(4 * n)
                                        : 0;
    const int lowest = round % 3 == 0 ? 0 : 1;
    bool zero = false;
    for (std::size_t i = 0; i < n; ++i) {
      const int value = spread > 0
                            ? static_cast<int>(random() % static_cast<unsigned>(spread)) + lowest
                            : static_cast<int>(random());
      zero = zero || value == 0;
      if (round % 4 < 2) {
        table[i] = {kNames[i], value, std::char_traits<char>::length(kNames[i])};
      } else {
        table[i] = {kNames[i], value};
      }
    }
    if (n < N) {
      table[n] = {nullptr, 0};
    }
    bool unique = true;
    for (std::size_t i = 0; i < n; ++i) {
      for (std::size_t j = i + 1; j < n; ++j) {
        unique = unique && table[i].value != table[j].value;
      }
    }
    ASSERT_EQ(unique, protowrap::HasUniqueCodes(table)) << n << " entries, round " << round;
    for (std::size_t i = 0; i < n; ++i) {
      std::size_t first = 0;
      while (table[first].value != table[i].value) {
        ++first;
      }
      ASSERT_STREQ(kNames[first], protowrap::NameOf(table, table[i].value));
      ASSERT_EQ(table[i].value, protowrap::CodeOf(table, kNames[i], -7));
    }
    // The closing entry's 0 and name are no entry's; a longer or shorter name is none either.
    if (!zero) {
      EXPECT_EQ(nullptr, protowrap::NameOf(table, 0));
    }
    EXPECT_EQ(-7, protowrap::CodeOf(table, "M", -7));
    EXPECT_EQ(-7, protowrap::CodeOf(table, "AA", -7));
    EXPECT_EQ(-7, protowrap::CodeOf(table, "", -7));
    EXPECT_EQ(n, protowrap::Size(table));
    const protowrap::EntryRange entries = protowrap::Entries(table);
    EXPECT_EQ(n, entries.size());
    EXPECT_EQ(n == 0, entries.empty());
  }
}

template <std::size_t... Sizes>
void CheckEverySize(std::index_sequence<Sizes...>) {
  std::mt19937 random(2026);
  (CheckTables<Sizes + 1>(random), ...);
}

TEST(ClientHeader, LookupsAndRepeatsAgreeWithPlainLoopsOnTablesOfEverySmallSize) {
  CheckEverySize(std::make_index_sequence<12>());
}

}  // namespace

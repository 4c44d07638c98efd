// Tests of the search loops: every scan against std::string::find.
#include "text/match_scan.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "tests/scans.h"

namespace protowrap::detail {
namespace {

// Every scan of the build (the portable one everywhere, SSE2 on x86-64), whichever the replacer
// uses, against std::string::find: the first match, and every match in batches of every size,
// on texts whose ends fall anywhere in a vector block. Each text lies in a block of its own exact
// size, so that the sanitizer runs catch a read past it.
TEST(MatchScan, EveryScanAgreesWithFindOnRandomTexts) {
  std::mt19937 random(2026);
  const std::string alphabet = "aab_,=#CG";
  const std::vector<std::string> patterns = {
      "a", "ab", "aa", "a_b", ",", "CG_", "#a#", "ab,=a_b", "aaaaaaaaaaaaaaaaaaaaaaaaa"};
  int scans = 0;
  for (const testing::Scan* scan = testing::kScans; scan->name != nullptr; ++scan, ++scans) {
    for (int round = 0; round < 3000; ++round) {
      std::string text(random() % 200, ' ');
      for (char& c : text) {
        c = alphabet[random() % alphabet.size()];
      }
      const std::string& pattern = patterns[random() % patterns.size()];
      if (text.size() < pattern.size()) {
        continue;
      }
      auto* block = static_cast<char*>(std::malloc(text.size()));
      std::memcpy(block, text.data(), text.size());
      const char* end = block + (text.size() - pattern.size()) + 1;
      std::vector<std::int32_t> expected;
      for (std::size_t at = text.find(pattern); at != std::string::npos;
           at = text.find(pattern, at + pattern.size())) {
        expected.push_back(static_cast<std::int32_t>(at));
      }
      const char* first = scan->findFirstMatch(block, end, pattern.data(), pattern.size());
      EXPECT_EQ(expected.empty() ? -1 : expected[0], first == nullptr ? -1 : first - block)
          << scan->name << " text=" << text << " pattern=" << pattern;
      std::vector<std::int32_t> found;
      std::int32_t batch[5];
      const std::size_t capacity = 1 + static_cast<std::size_t>(round % 5);
      for (const char* from = block; from != nullptr;) {
        const std::size_t got = scan->collectMatches(block, from, end, pattern.data(),
                                                     pattern.size(), batch, capacity, &from);
        found.insert(found.end(), batch, batch + got);
      }
      EXPECT_EQ(expected, found) << scan->name << " text=" << text << " pattern=" << pattern;
      std::free(block);
    }
  }
  EXPECT_GE(scans, 1);
}

}  // namespace
}  // namespace protowrap::detail

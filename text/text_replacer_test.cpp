// Tests of FindPattern, the scans and ReplaceAll against a plain reference.
#include "text/text_replacer.h"

#include "tests/replace_reference.h"
#include "tests/scans.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace protowrap {
namespace {

// A heap block as the program holds texts: malloc'd and NUL-terminated.
char* Block(const std::string& s) {
  auto* block = static_cast<char*>(std::malloc(s.size() + 1));
  std::memcpy(block, s.data(), s.size());
  block[s.size()] = '\0';
  return block;
}

// Hands out result blocks with guard bytes behind them, so that a write past the block shows
// in every build, not only under the sanitizer and valgrind.
class GuardedSource final : public BlockSource {
 public:
  char* Get(std::size_t size) override {
    last_ = static_cast<char*>(std::malloc(size + kGuard));
    size_ = size;
    std::memset(last_ + size, kGuardByte, kGuard);
    return last_;
  }
  // Whether the guard bytes behind `block`, the last block handed out, are untouched.
  bool GuardIntact(const char* block) const {
    if (block != last_) {
      return false;
    }
    for (std::size_t i = 0; i < kGuard; ++i) {
      if (last_[size_ + i] != kGuardByte) {
        return false;
      }
    }
    return true;
  }

 private:
  static constexpr std::size_t kGuard = 64;
  static constexpr char kGuardByte = '\x5a';
  char* last_ = nullptr;
  std::size_t size_ = 0;
};

// Runs ReplaceAll on a copy of `text` and returns the result as a string, checking ownership:
// an unchanged text comes back as the same block, a changed one as a new block, written only
// within its own bytes.
std::string Replace(const std::string& text, const char* pattern, const char* replacement,
                    bool* same = nullptr) {
  char* input = Block(text);
  GuardedSource source;
  char* result = TextReplacer(source).ReplaceAll(input, pattern, replacement);
  if (result != nullptr && result != input) {
    EXPECT_TRUE(source.GuardIntact(result)) << "written past the result of " << text.substr(0, 60);
  }
  std::string out = result == nullptr ? "<null>" : std::string(result);
  if (same != nullptr) {
    *same = result == input;
  }
  if (result != input) {
    std::free(result);
  }
  std::free(input);
  return out;
}

using protowrap::reference::ReplaceReference;

TEST(FindPattern, FindsTheFirstMatchFromStart) {
  const TextReplacer r;
  const char text[] = "abcabcab";
  EXPECT_EQ(0, r.FindPattern(text, 8, "abc", 3, 0));
  EXPECT_EQ(3, r.FindPattern(text, 8, "abc", 3, 1));
  EXPECT_EQ(-1, r.FindPattern(text, 8, "abc", 3, 4));
  EXPECT_EQ(6, r.FindPattern(text, 8, "ab", 2, 4));   // ends on the last byte
  EXPECT_EQ(-1, r.FindPattern(text, 8, "ab", 2, 7));  // past the last possible start
  EXPECT_EQ(-1, r.FindPattern(text, 8, "abd", 3, 0));
  EXPECT_EQ(-1, r.FindPattern(text, 2, "abc", 3, 0));  // pattern longer than the text
  EXPECT_EQ(-1, r.FindPattern(text, 8, "", 0, 0));
  const char before[] = "abc..abc";  // a match before the text is not the text's
  EXPECT_EQ(0, r.FindPattern(before + 5, 3, "abc", 3, 0));
  EXPECT_EQ(7, r.FindPattern(text, 8, "b", 1, 5));
}

TEST(FindPattern, CountedTextMaySpanNulsAndEndAnywhere) {
  const TextReplacer r;
  const char text[] = "x\0yCG_z";  // 7 bytes with a NUL at 1
  EXPECT_EQ(3, r.FindPattern(text, 7, "CG_", 3, 0));
  EXPECT_EQ(-1, r.FindPattern(text, 5, "CG_", 3, 0));  // the match would cross the end
  EXPECT_EQ(1, r.FindPattern(text, 7, "\0y", 2, 0));
  // A first-byte hit whose last byte differs, then a real match.
  EXPECT_EQ(7, r.FindPattern("ab_aax_aab", 10, "aab", 3, 0));
}

TEST(ReplaceAll, MatchesNeverOverlapAndNeverCascade) {
  EXPECT_EQ("bb", Replace("aaaa", "aa", "b"));
  EXPECT_EQ("ba", Replace("aaa", "aa", "b"));
  EXPECT_EQ("MAKE_PROTOCOL_INFO(CG_A MAKE_PROTOCOL_INFO(CG_B",
            Replace("CG_A CG_B", "CG_", "MAKE_PROTOCOL_INFO(CG_"));
  EXPECT_EQ("xyz!", Replace("xyz?", "?", "!"));  // the match ends on the last byte
  EXPECT_EQ("!xyz", Replace("?xyz", "?", "!"));
}

TEST(ReplaceAll, ReturnsTheSameBlockWhenNothingChanges) {
  bool same = false;
  EXPECT_EQ("", Replace("", "a", "b", &same));
  EXPECT_TRUE(same);
  EXPECT_EQ("ab", Replace("ab", "abc", "x", &same));
  EXPECT_TRUE(same);
  EXPECT_EQ("hello", Replace("hello", "z", "y", &same));
  EXPECT_TRUE(same);
  EXPECT_EQ("hello", Replace("hello", "", "y", &same));  // an empty pattern changes nothing
  EXPECT_TRUE(same);
  EXPECT_EQ("hello", Replace("hello", "l", "l", &same));  // replaced, even if equal bytes
  EXPECT_FALSE(same);
}

TEST(ReplaceAll, NullOrEmptyReplacementDeletes) {
  EXPECT_EQ("bcbc", Replace("abcabca", "a", nullptr));
  EXPECT_EQ("bcbc", Replace("abcabca", "a", ""));
  bool same = true;
  EXPECT_EQ("", Replace("aaaa", "aa", "", &same));
  EXPECT_FALSE(same);
}

TEST(ReplaceAll, SeesTextOnlyUpToTheFirstNul) {
  const TextReplacer r;
  // Pattern before the NUL: the new block ends where the NUL stood.
  const char before[] = "a,b\0c,d";
  char* out = r.ReplaceAll(before, ",", "), ");
  ASSERT_NE(before, out);
  EXPECT_EQ(std::string("a), b"), std::string(out));
  std::free(out);
  // Pattern only after the NUL: the same block comes back, bytes after the NUL still there.
  const char after[] = "ab\0c,d";
  EXPECT_EQ(after, r.ReplaceAll(after, ",", "), "));
  EXPECT_EQ(',', after[4]);
}

TEST(ReplaceAll, ResultHasExactlyTheComputedLength) {
  const TextReplacer r;
  ReplaceStatus status = ReplaceStatus::kUnchanged;
  const char text[] = "a,b,c,d,";  // 4 commas
  char* out = r.ReplaceAll(text, ",", "), ", &status);
  EXPECT_EQ(ReplaceStatus::kReplaced, status);
  EXPECT_EQ(std::strlen(text) + 2 * 4, std::strlen(out));
  EXPECT_EQ(std::string("a), b), c), d), "), out);
  std::free(out);
  EXPECT_EQ(text, r.ReplaceAll(text, "x", "y", &status));
  EXPECT_EQ(ReplaceStatus::kUnchanged, status);
}

TEST(ReplaceInBuffer, WorksOnUnterminatedTextsAndRefusesOverlongResults) {
  const TextReplacer r;
  const char text[] = {'x', 'a', 'x', 'a'};  // no terminator
  char* out = r.ReplaceInBuffer(text, 3, "x", 1, "yy", 2);
  EXPECT_EQ(std::string("yyayy"), out);
  std::free(out);

  // 1 MiB of 'a', each growing by 4 KiB, would be far past the 32-bit length.
  const std::string big(1 << 20, 'a');
  const std::string growth(4096, 'b');
  ReplaceStatus status = ReplaceStatus::kReplaced;
  EXPECT_EQ(nullptr,
            r.ReplaceInBuffer(big.data(), static_cast<std::int32_t>(big.size()), "a", 1,
                              growth.data(), static_cast<std::int32_t>(growth.size()), &status));
  EXPECT_EQ(ReplaceStatus::kTooLong, status);
}

// Random texts over a small alphabet, of lengths that cross the scan's 16- and 64-byte blocks.
std::string RandomText(std::mt19937& random, std::size_t maxLength) {
  const char alphabet[] = "ab,=_#";
  std::string text(random() % maxLength, ' ');
  for (char& c : text) {
    c = alphabet[random() % (sizeof alphabet - 1)];
  }
  return text;
}

// A source of result blocks that hands out a given block, or fails, and counts its calls.
class TestSource final : public BlockSource {
 public:
  char* block = nullptr;
  bool fails = false;
  int calls = 0;

  char* Get(std::size_t size) override {
    ++calls;
    if (fails) {
      return nullptr;
    }
    char* given = block != nullptr ? static_cast<char*>(std::realloc(block, size))
                                   : static_cast<char*>(std::malloc(size));
    block = nullptr;
    return given;
  }
};

// The result block comes from the replacer's source, exactly when a result is due; a source
// that fails is "out of memory". The sanitizer and valgrind runs report a leak, a double release
// or a use after release if ownership goes wrong.
TEST(ReplaceInBuffer, TakesResultBlocksFromItsSourceOnlyWhenOneIsDue) {
  TestSource source;
  const TextReplacer r(source);
  const char text[] = "a,b,c";
  ReplaceStatus status = ReplaceStatus::kUnchanged;
  source.block = Block(std::string(100, 'z'));  // larger, and full of old bytes
  char* out = r.ReplaceInBuffer(text, 5, ",", 1, "), ", 3, &status);
  EXPECT_EQ(ReplaceStatus::kReplaced, status);
  EXPECT_EQ(std::string("a), b), c"), out);
  EXPECT_EQ(1, source.calls);
  std::free(out);

  EXPECT_EQ(text, r.ReplaceInBuffer(text, 5, "x", 1, "y", 1, &status));  // no result: no block
  EXPECT_EQ(1, source.calls);

  source.fails = true;
  EXPECT_EQ(nullptr, r.ReplaceAll(text, "b", "B", &status));
  EXPECT_EQ(ReplaceStatus::kNoMemory, status);
  EXPECT_EQ(2, source.calls);
}

// The one differential test of the replace engine: on random texts over the rules' characters,
// and on texts with more matches than a batch of positions holds, or matches longer than a block
// of the vector scan, FindPattern (from any start), every scan of the build (the first match, and
// every match in batches of every size) and ReplaceAll agree with std::string::find and a plain
// replace loop. Each scanned text lies in a block of its own exact size, so that the sanitizer
// runs catch a read past it.
TEST(ReplaceEngine, AgreesWithAPlainReferenceOnEveryLayer) {
  struct Case {
    std::string text, pattern, replacement;
  };
  std::vector<Case> cases;
  std::mt19937 random(12345);
  const char* const patterns[] = {"a",  "ab",  "aa",   "a_b",     ",",
                                  "==", "#a#", "ba,=", "ab,=_#a", "aaaaaaaaaaaaaaaaaaaaaaaaa"};
  const char* const replacements[] = {"", "x", "ab", "aab", "), ", "abab"};
  for (int round = 0; round < 6000; ++round) {
    cases.push_back({RandomText(random, round % 2 == 0 ? 40 : 400), patterns[random() % 10],
                     replacements[random() % 6]});
  }
  // 100,000 matches, dense and sparse, past every batch; 16,384 that fill the first batch
  // exactly at the last match, past the last whole block of the vector scan; matches longer than
  // a block, back to back.
  cases.push_back({std::string(100000, 'a'), "a", "bc"});
  std::string sparse;
  for (int i = 0; i < 100000; ++i) {
    sparse += "xyzCG_";
  }
  cases.push_back({sparse, "CG_", "MAKE_PROTOCOL_INFO(CG_"});
  cases.push_back({std::string(32768, 'a'), "aa", "b"});
  const std::string longPattern = std::string("<").append(70, '-').append(">");
  std::string longMatches;
  for (int i = 0; i < 20; ++i) {
    longMatches += longPattern + (i % 3 == 0 ? "" : " ");
  }
  cases.push_back({longMatches, longPattern, "#"});
  // A match that ends exactly where a later block of the vector scan ends: none of that block's
  // candidates may start a match.
  cases.push_back({std::string(400, 'a'), std::string(128, 'a'), "b"});

  const TextReplacer replacer;
  for (const Case& c : cases) {
    const std::string& text = c.text;
    const std::string& pattern = c.pattern;
    std::vector<std::int32_t> expected;
    for (std::size_t at = text.find(pattern); at != std::string::npos;
         at = text.find(pattern, at + pattern.size())) {
      expected.push_back(static_cast<std::int32_t>(at));
    }
    const auto start = static_cast<std::int32_t>(random() % (text.size() + 2));
    const std::size_t fromStart = text.find(pattern, static_cast<std::size_t>(start));
    ASSERT_EQ(
        fromStart == std::string::npos ? -1 : static_cast<std::int32_t>(fromStart),
        replacer.FindPattern(text.data(), static_cast<std::int32_t>(text.size()), pattern.data(),
                             static_cast<std::int32_t>(pattern.size()), start))
        << "text=" << text << " pattern=" << pattern << " start=" << start;
    if (text.size() >= pattern.size()) {
      auto* block = static_cast<char*>(std::malloc(text.size()));
      std::memcpy(block, text.data(), text.size());
      const char* end = block + (text.size() - pattern.size()) + 1;
      for (const testing::Scan* scan = testing::kScans; scan->name != nullptr; ++scan) {
        const char* first = scan->findFirstMatch(block, end, pattern.data(), pattern.size());
        ASSERT_EQ(expected.empty() ? -1 : expected[0], first == nullptr ? -1 : first - block)
            << scan->name << " text=" << text << " pattern=" << pattern;
        std::vector<std::int32_t> found;
        std::int32_t batch[5];
        const std::size_t capacity = 1 + random() % 5;
        for (const char* from = block; from != nullptr;) {
          const std::size_t got = scan->collectMatches(block, from, end, pattern.data(),
                                                       pattern.size(), batch, capacity, &from);
          found.insert(found.end(), batch, batch + got);
        }
        ASSERT_EQ(expected, found) << scan->name << " text=" << text << " pattern=" << pattern;
      }
      std::free(block);
    }
    ASSERT_EQ(ReplaceReference(text, pattern.c_str(), c.replacement.c_str()),
              Replace(text, pattern.c_str(), c.replacement.c_str()))
        << "text=" << text << " pattern=" << pattern << " replacement=" << c.replacement;
  }
}

}  // namespace
}  // namespace protowrap

// Fuzzes the text replacer against the plain reference: the same bytes, the same block back when
// nothing matched, nothing seen past the first NUL, the exact result length, FindPattern's answer;
// and every scan the build has (portable, and SSE2 on x86-64), whichever the replacer uses.
#include <cstdint>
#include <cstdio>
#include <vector>

#include "fuzz/fuzz_reference.h"
#include "tests/scans.h"
#include "text/text_replacer.h"

using protowrap::ReplaceStatus;
using protowrap::TextReplacer;
using namespace protowrap::fuzz;

namespace {

std::string UpToNul(const std::string& s) {
  return s.substr(0, s.find('\0'));
}

// Checks one replacement result against the expected text, and frees it.
void Check(const char* input, char* result, ReplaceStatus status, const std::string& expected,
           bool changed) {
  if (!changed) {
    if (result != input || status != ReplaceStatus::kUnchanged) {
      Fail("an unchanged text must come back as the same block");
    }
    return;
  }
  if (result == nullptr || result == input || status != ReplaceStatus::kReplaced) {
    Fail("a replacement must come back as a new block");
  }
  if (std::memcmp(result, expected.data(), expected.size()) != 0 ||
      result[expected.size()] != '\0') {
    Fail("the new block differs from the reference");
  }
  std::free(result);
}

// Hands out an old block resized to what is asked, as the rule table's source does: the result
// must not depend on the block's old size or bytes.
class SpareSource final : public protowrap::BlockSource {
 public:
  explicit SpareSource(char* spare) : spare_(spare) {}
  ~SpareSource() { std::free(spare_); }
  char* Get(std::size_t size) override {
    char* block = static_cast<char*>(std::realloc(spare_, size));
    spare_ = nullptr;
    return block;
  }

 private:
  char* spare_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) {
    return 0;
  }
  const std::size_t patternLength = 1 + data[0] % 8;
  const std::size_t replacementLength = data[1] % 24;
  const std::size_t start = data[2];
  data += 3;
  size -= 3;
  if (size < patternLength + replacementLength) {
    return 0;
  }
  const char* bytes = reinterpret_cast<const char*>(data);
  const std::string pattern(bytes, patternLength);
  const std::string replacement(bytes + patternLength, replacementLength);
  const std::string text(bytes + patternLength + replacementLength,
                         size - patternLength - replacementLength);
  // Every other input gets its result blocks from an old block of a size the input picks.
  SpareSource spare(ExactBlock(std::string(start, 's'), true));
  const TextReplacer plain;
  const TextReplacer recycling(spare);
  const TextReplacer& replacer = start % 2 == 1 ? recycling : plain;
  const auto textLength = static_cast<std::int32_t>(text.size());

  // Counted form: every byte counts, NULs included; the text is not terminated.
  char* counted = ExactBlock(text, false);
  char* patternBlock = ExactBlock(pattern, false);
  char* replacementBlock = ExactBlock(replacement, false);
  const std::size_t found = text.find(pattern, start);
  if (replacer.FindPattern(counted, textLength, patternBlock,
                           static_cast<std::int32_t>(patternLength),
                           static_cast<std::int32_t>(start)) !=
      (found == std::string::npos ? -1 : static_cast<std::int32_t>(found))) {
    Fail("FindPattern differs from the reference");
  }
  ReplaceStatus status = ReplaceStatus::kNoMemory;
  std::int32_t resultLength = -1;
  const std::string expected = ReplaceReference(text, pattern, replacement);
  const bool matches = text.find(pattern) != std::string::npos;
  char* result = replacer.ReplaceInBuffer(
      counted, textLength, patternBlock, static_cast<std::int32_t>(patternLength), replacementBlock,
      static_cast<std::int32_t>(replacementLength), &status, &resultLength);
  if (resultLength != static_cast<std::int32_t>(expected.size())) {
    Fail("ReplaceInBuffer reports a wrong length");
  }
  Check(counted, result, status, expected, matches);

  // Each scan on its own: the first match and all matches, from every start, in small batches.
  if (text.size() >= patternLength) {
    const char* end = counted + (text.size() - patternLength) + 1;
    std::vector<std::int32_t> expectedMatches;
    for (std::size_t at = text.find(pattern); at != std::string::npos;
         at = text.find(pattern, at + patternLength)) {
      expectedMatches.push_back(static_cast<std::int32_t>(at));
    }
    for (const protowrap::testing::Scan* scan = protowrap::testing::kScans; scan->name != nullptr;
         ++scan) {
      const char* firstMatch = scan->findFirstMatch(counted, end, patternBlock, patternLength);
      if ((firstMatch == nullptr ? -1 : firstMatch - counted) !=
          (expectedMatches.empty() ? -1 : expectedMatches[0])) {
        Fail("a scan's first match differs from the reference");
      }
      std::vector<std::int32_t> collected;
      std::int32_t batch[7];
      const std::size_t capacity = 1 + start % 7;
      for (const char* from = counted; from != nullptr;) {
        const std::size_t got = scan->collectMatches(counted, from, end, patternBlock,
                                                     patternLength, batch, capacity, &from);
        collected.insert(collected.end(), batch, batch + got);
      }
      if (collected != expectedMatches) {
        Fail("a scan's matches differ from the reference");
      }
    }
  }

  // Terminated form: everything is seen up to its first NUL only.
  char* terminated = ExactBlock(text, true);
  char* patternString = ExactBlock(pattern, true);
  char* replacementString = ExactBlock(replacement, true);
  const std::string seenText = UpToNul(text);
  const std::string seenPattern = UpToNul(pattern);
  result = replacer.ReplaceAll(terminated, patternString, replacementString, &status);
  Check(terminated, result, status, ReplaceReference(seenText, seenPattern, UpToNul(replacement)),
        !seenPattern.empty() && seenText.find(seenPattern) != std::string::npos);

  for (char* block :
       {counted, patternBlock, replacementBlock, terminated, patternString, replacementString}) {
    std::free(block);
  }
  return 0;
}

// Fuzzes the whole rule table against the plain reference applied rule by rule, and the header
// check on what it wrote: the check reads nothing outside the input and the output (each in a
// block of its own exact size), changes neither, and locates every warning inside the input.
#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "fuzz/fuzz_reference.h"
#include "wrap/header_check.h"
#include "wrap/rewrite_rules.h"

using namespace protowrap::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  std::string expected = input.substr(0, input.find('\0'));
  bool changes = false;
  for (const protowrap::RewriteRule* rule = protowrap::kRewriteRules; rule->pattern != nullptr;
       ++rule) {
    std::string next = ReplaceReference(expected, rule->pattern, rule->replacement);
    changes = changes || expected.find(rule->pattern) != std::string::npos;
    expected.swap(next);
  }
  char* block = ExactBlock(input, true);
  protowrap::ReplaceStatus status = protowrap::ReplaceStatus::kNoMemory;
  char* result = protowrap::ApplyRewriteRules(block, &status);
  if (result == nullptr || (result == block) == changes) {
    Broken("the table must hand back the same block exactly when no rule matched");
  }
  if (std::strlen(result) != expected.size() ||
      std::memcmp(result, expected.data(), expected.size()) != 0) {
    Broken("the rewritten text differs from the reference");
  }

  const std::string source = input.substr(0, input.find('\0'));
  char* kept = ExactBlock(source, false);
  char* written = ExactBlock(expected, true);
  struct Bounds {
    std::int32_t lines;
    std::int32_t* reported;
  } bounds{1, nullptr};
  for (char c : source) {
    bounds.lines += c == '\n' ? 1 : 0;
  }
  bounds.lines += static_cast<std::int32_t>(std::count(source.begin(), source.end(), '\r'));
  const std::int32_t count = protowrap::CheckWrapHeader(
      written, static_cast<std::int32_t>(expected.size()), nullptr, 0, nullptr, nullptr);
  std::int32_t reported = 0;
  bounds.reported = &reported;
  protowrap::CheckWrapHeader(
      written, static_cast<std::int32_t>(expected.size()), kept,
      static_cast<std::int32_t>(source.size()),
      [](void* context, const protowrap::HeaderWarning& warning) {
        const auto* b = static_cast<const Bounds*>(context);
        ++*b->reported;
        if (warning.line < 1 || warning.line > b->lines || warning.column < 1 ||
            warning.message == nullptr) {
          Broken("a warning must point into the input");
        }
      },
      &bounds);
  if (reported != count) {
    Broken("counting the warnings must give as many as reporting them");
  }
  if (std::memcmp(kept, source.data(), source.size()) != 0 ||
      std::memcmp(written, expected.data(), expected.size() + 1) != 0) {
    Broken("the check must change nothing");
  }
  std::free(kept);
  std::free(written);
  std::free(result);
  return 0;
}

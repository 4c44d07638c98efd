// Fuzzes the whole rule table against the plain reference applied rule by rule.
#include <cstdint>
#include <cstdio>

#include "fuzz/fuzz_reference.h"
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
  std::free(result);
  return 0;
}

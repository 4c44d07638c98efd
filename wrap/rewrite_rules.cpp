// Applies the rule table, recycling each superseded block.
#include "wrap/rewrite_rules.h"

#include "platform/process.h"

#include <cassert>
#include <cstdlib>
#include <cstring>

namespace protowrap {

namespace {

// The table writes the names that a build defines, and nothing else of theirs.
constexpr bool StartsWith(const char* text, std::string_view prefix) {
  return std::string_view(text).substr(0, prefix.size()) == prefix;
}
constexpr bool Contains(const char* text, std::string_view piece) {
  return std::string_view(text).find(piece) != std::string_view::npos;
}
static_assert(StartsWith(RuleOf(Rule::kOpenCgEntry).replacement, kEntryMacro));
static_assert(StartsWith(RuleOf(Rule::kOpenCwEntry).replacement, kEntryMacro));
static_assert(StartsWith(RuleOf(Rule::kEnumBecomesTable).replacement, kTableType));
static_assert(StartsWith(RuleOf(Rule::kCloseTable).replacement, kEndMacro));
static_assert(StartsWith(RuleOf(Rule::kUndoDeclaratorInEntry).replacement, kEntryMacro));
// The named pieces are what the rules write.
static_assert(RuleOf(Rule::kEnumBecomesTable).replacement == kTableHead);
static_assert(Contains(RuleOf(Rule::kProtocolDeclarator).replacement, kDeclarator));
static_assert(RuleOf(Rule::kCommentDirective).replacement == kCommentedDirective);
static_assert(RuleOf(Rule::kRestoreInclude).pattern == kCommentedInclude);
static_assert(StartsWith(kCommentedInclude.data(), kCommentedDirective));

// Hands the block that the last rule superseded to the next rule that needs one. A large block is
// resized with std::realloc, which keeps the memory it has (its pages move) instead of faulting
// in fresh pages; a small one is released first, so that the heap gives its memory out again
// without copying its stale bytes, as a growing realloc there would.
class RecyclingSource final : public BlockSource {
 public:
  RecyclingSource() = default;
  RecyclingSource(const RecyclingSource&) = delete;
  RecyclingSource& operator=(const RecyclingSource&) = delete;
  ~RecyclingSource() { std::free(spare_); }

  char* Get(std::size_t size) override {
    if (spare_ != nullptr && size < platform::kOwnMappingSize) {
      std::free(spare_);
      spare_ = nullptr;
    }
    if (spare_ == nullptr) {
      return static_cast<char*>(std::malloc(size));
    }
    void* block = std::realloc(spare_, size);
    if (block == nullptr) {
      std::free(spare_);  // a failed realloc leaves it to release
    }
    spare_ = nullptr;
    return static_cast<char*>(block);
  }

  /// Keeps `block` for the next Get. The result that superseded it came from Get, which took
  /// the spare kept before.
  void Keep(char* block) {
    assert(spare_ == nullptr);
    spare_ = block;
  }

 private:
  char* spare_ = nullptr;
};

}  // namespace

char* ApplyRewriteRules(char* text, ReplaceStatus* status, bool keepInput) {
  // Each rule is ReplaceAll on the previous rule's result. The first measures the text; from then
  // on its length is carried from rule to rule, since a rewritten text holds no NUL and measuring
  // it again would only repeat work. The block a rule supersedes is recycled into the next rule's
  // result, so that large texts reuse their memory from rule to rule.
  RecyclingSource blocks;
  const TextReplacer replacer(blocks);
  ReplaceStatus last = ReplaceStatus::kUnchanged;
  std::int32_t length = -1;  // not measured yet
  char* current = text;
  for (const RewriteRule* rule = kRewriteRules; current != nullptr && rule->pattern != nullptr;
       ++rule) {
    const char* replacement = rule->replacement != nullptr ? rule->replacement : "";
    ReplaceStatus ruleStatus = ReplaceStatus::kUnchanged;
    char* next =
        length < 0 ? replacer.ReplaceAll(current, rule->pattern, replacement, &ruleStatus, &length)
                   : replacer.ReplaceInBuffer(
                         current, length, rule->pattern,
                         static_cast<std::int32_t>(std::strlen(rule->pattern)), replacement,
                         static_cast<std::int32_t>(std::strlen(replacement)), &ruleStatus, &length);
    if (next == current) {
      continue;
    }
    // The superseded block is recycled, or released with the failure (a kept input stays).
    if (current == text && keepInput) {
    } else if (next != nullptr) {
      blocks.Keep(current);
    } else {
      std::free(current);
    }
    last = next != nullptr ? ReplaceStatus::kReplaced : ruleStatus;
    current = next;
  }
  if (status != nullptr) {
    *status = last;
  }
  return current;
}

}  // namespace protowrap

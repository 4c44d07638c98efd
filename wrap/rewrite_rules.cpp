#include "wrap/rewrite_rules.h"

#include <cstdlib>
#include <cstring>

namespace protowrap {

char* ApplyRewriteRules(char* text, ReplaceStatus* status, bool keepInput) {
  // Each rule is ReplaceAll on the previous rule's result. The first measures the text; from then
  // on its length is carried from rule to rule, since a rewritten text holds no NUL and measuring
  // it again would only repeat work. The block a rule supersedes is kept as a spare and recycled
  // into the next rule's result, so that large texts reuse their memory from rule to rule.
  const TextReplacer replacer;
  ReplaceStatus last = ReplaceStatus::kUnchanged;
  std::int32_t length = -1;  // not measured yet
  char* current = text;
  char* spare = nullptr;
  for (const RewriteRule* rule = kRewriteRules; current != nullptr && rule->pattern != nullptr;
       ++rule) {
    const char* replacement = rule->replacement != nullptr ? rule->replacement : "";
    ReplaceStatus ruleStatus = ReplaceStatus::kUnchanged;
    char* next =
        length < 0
            ? replacer.ReplaceAll(current, rule->pattern, replacement, &ruleStatus, &length)
            : replacer.ReplaceInBuffer(
                  current, length, rule->pattern,
                  static_cast<std::int32_t>(std::strlen(rule->pattern)), replacement,
                  static_cast<std::int32_t>(std::strlen(replacement)), &ruleStatus, &length, spare);
    if (next == current) {
      continue;  // nothing matched: the spare is still ours
    }
    // The spare went into the new block, or was released with the failure. A kept input is
    // never recycled nor released.
    const bool mine = !(keepInput && current == text);
    spare = next != nullptr && mine ? current : nullptr;
    if (next == nullptr && mine) {
      std::free(current);
    }
    last = next != nullptr ? ReplaceStatus::kReplaced : ruleStatus;
    current = next;
  }
  std::free(spare);
  if (status != nullptr) {
    *status = last;
  }
  return current;
}

}  // namespace protowrap

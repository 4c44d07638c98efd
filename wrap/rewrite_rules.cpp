#include "wrap/rewrite_rules.h"

#include <cstdlib>
#include <cstring>

namespace protowrap {

char* ApplyRewriteRules(char* text, ReplaceStatus* status) {
  // ReplaceAll on every rule, except that the text's length is taken once and then carried from
  // rule to rule: a rewritten text holds no NUL, so measuring it again would only repeat work.
  const TextReplacer replacer;
  ReplaceStatus last = ReplaceStatus::kUnchanged;
  const std::size_t measured = std::strlen(text);
  auto length = static_cast<std::int32_t>(measured);
  char* current = text;
  if (measured > static_cast<std::size_t>(kMaxTextLength)) {
    last = ReplaceStatus::kTooLong;
    current = nullptr;
    std::free(text);
  }
  for (const RewriteRule* rule = kRewriteRules; current != nullptr && rule->pattern != nullptr;
       ++rule) {
    const char* replacement = rule->replacement != nullptr ? rule->replacement : "";
    ReplaceStatus ruleStatus = ReplaceStatus::kUnchanged;
    char* next = replacer.ReplaceInBuffer(
        current, length, rule->pattern, static_cast<std::int32_t>(std::strlen(rule->pattern)),
        replacement, static_cast<std::int32_t>(std::strlen(replacement)), &ruleStatus, &length);
    if (next == nullptr) {
      last = ruleStatus;
    } else if (next != current) {
      last = ReplaceStatus::kReplaced;
    }
    if (next != current) {
      std::free(current);
    }
    current = next;
  }
  if (status != nullptr) {
    *status = last;
  }
  return current;
}

}  // namespace protowrap

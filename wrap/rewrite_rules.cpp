#include "wrap/rewrite_rules.h"

#include <cstdlib>

namespace protowrap {

char* ApplyRewriteRules(char* text, ReplaceStatus* status) {
  const TextReplacer replacer;
  ReplaceStatus last = ReplaceStatus::kUnchanged;
  char* current = text;
  for (const RewriteRule* rule = kRewriteRules; rule->pattern != nullptr; ++rule) {
    ReplaceStatus ruleStatus = ReplaceStatus::kUnchanged;
    char* next = replacer.ReplaceAll(current, rule->pattern, rule->replacement, &ruleStatus);
    if (next == nullptr) {
      std::free(current);
      last = ruleStatus;
      current = nullptr;
      break;
    }
    if (next != current) {
      std::free(current);
      last = ReplaceStatus::kReplaced;
    }
    current = next;
  }
  if (status != nullptr) {
    *status = last;
  }
  return current;
}

}  // namespace protowrap

// Takes back what the rules wrote into a directive or a macro's body.
#include "check/header_text.h"

#include "check/lexer.h"
#include "wrap/rewrite_rules.h"

namespace protowrap::check {

namespace {

// Replaces every `from` in `text` by `to`, into `*out`.
void ReplaceInto(std::string_view text, std::string_view from, std::string_view to,
                 std::string* out) {
  out->clear();
  for (std::size_t at = 0;;) {
    const std::size_t hit = text.find(from, at);
    if (hit == std::string_view::npos) {
      out->append(text.substr(at));
      return;
    }
    out->append(text.substr(at, hit - at));
    out->append(to);
    at = hit + from.size();
  }
}

}  // namespace

std::string_view HeaderTextOf(std::string_view text, std::string* scratch) {
  // The rules whose replacement says what they replaced: each is undone by replacing the other
  // way round.
  static constexpr Rule kUndone[] = {Rule::kOpenCgEntry,        Rule::kOpenCwEntry,
                                     Rule::kProtocolDeclarator, Rule::kCloseTable,
                                     Rule::kEnumBecomesTable,   Rule::kCommentDirective};
  std::string other;
  std::string_view current = WithoutSplices(text, scratch);
  for (const Rule rule : kUndone) {
    const std::string_view written = RuleOf(rule).replacement;
    if (current.find(written) != std::string_view::npos) {
      ReplaceInto(current, written, RuleOf(rule).pattern, &other);
      scratch->swap(other);
      current = *scratch;
    }
  }
  return current;
}

}  // namespace protowrap::check

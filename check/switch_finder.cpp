// Finds the header's own switches from its conditions.
#include "check/switch_finder.h"

#include <algorithm>
#include <deque>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "check/build_configuration.h"
#include "check/expression.h"
#include "check/header_mirror.h"
#include "check/lexer.h"
#include "check/name_set.h"
#include "check/targets.h"
#include "wrap/rewrite_rules.h"

namespace protowrap::check {

namespace {

constexpr int kMaxDepth = 16;

// Words of conditions that name no macro.
bool NamesNoMacro(std::string_view word) {
  return word == "defined" || word == "true" || word == "false" || word == "__VA_ARGS__" ||
         word == "__VA_OPT__" || word.starts_with("__has_") || word == kEntryMacro ||
         word == kEndMacro || word == kTableType || word == "_DEBUG" || word == "DEBUG";
}

// Reads the directives of the header and of the includes it reads: first for the names they
// define, then for the names the header's conditions test.
class Finder {
 public:
  explicit Finder(IncludeReader* includes) : includes_(includes) {}

  // One directive (its text after the '#') of the header (`includer` empty) or of an include.
  // The first time through, it collects what the directives define; the second, the switches.
  void Directive(std::string_view directive, std::string_view includer, int depth) {
    std::string_view text = directive;
    if (directive.find('\\') != std::string_view::npos) {
      spliced_.emplace_back();
      text = WithoutSplices(directive, &spliced_.back());  // kept: the sets hold views of it
    }
    Lexer lexer(text.data(), static_cast<std::int32_t>(text.size()));
    const Token word = lexer.Next();
    if (word.kind != TokenKind::kIdentifier) {
      return;
    }
    const std::string_view name = lexer.TextOf(word);
    if (!choosing_ && name == "define") {
      const Token defined = lexer.Next();
      if (defined.kind == TokenKind::kIdentifier) {
        const std::string_view macro = lexer.TextOf(defined);
        defined_.Insert(macro);
        const Token body = lexer.Next();
        if (body.kind == TokenKind::kLiteral && lexer.TextOf(body).front() == '"') {
          literals_[std::string(macro)] = std::string(lexer.TextOf(body));
        }
      }
    } else if (!choosing_ && (name == "include" || name == "include_next" || name == "import")) {
      Include(lexer, includer, depth);
    } else if (choosing_ && includer.empty() &&
               (name == "if" || name == "elif" || name == "ifdef" || name == "ifndef" ||
                name == "elifdef" || name == "elifndef")) {
      for (Token t = lexer.Next(); t.kind != TokenKind::kEnd && !Done(); t = lexer.Next()) {
        if (t.kind == TokenKind::kIdentifier && lexer.TextOf(t).starts_with("__has_include")) {
          SkipParenthesized(lexer);  // a header's name, <x.h>, whose words name no macro
        } else if (t.kind == TokenKind::kIdentifier) {
          Consider(lexer.TextOf(t));
        }
      }
    }
  }

  void StartChoosing() { choosing_ = true; }
  bool Done() const { return static_cast<int>(switches_.size()) == kMaxSwitches; }
  std::vector<std::string> Switches() const { return switches_; }

 private:
  void Consider(std::string_view tested) {
    if (NamesNoMacro(tested) || defined_.Contains(tested) ||
        FindPredefined(TargetId::kLinux, tested) != nullptr ||
        FindPredefined(TargetId::kWindows, tested) != nullptr || IsLibraryName(tested)) {
      return;
    }
    for (const std::string& chosen : switches_) {
      if (chosen == tested) {
        return;
      }
    }
    switches_.emplace_back(tested);
  }

  void Include(Lexer& lexer, std::string_view includer, int depth) {
    if (includes_ == nullptr || depth >= kMaxDepth) {
      return;
    }
    const Token operand = lexer.Next();
    std::string_view quoted;
    if (operand.kind == TokenKind::kLiteral) {
      quoted = lexer.TextOf(operand);
    } else if (operand.kind == TokenKind::kIdentifier) {
      const auto literal = literals_.find(std::string(lexer.TextOf(operand)));
      if (literal != literals_.end()) {
        quoted = literal->second;
      }
    }
    if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"') {
      return;
    }
    const IncludedFile* file = includes_->Find(quoted.substr(1, quoted.size() - 2), includer);
    if (file == nullptr || !read_.insert(file).second) {
      return;
    }
    const std::string& text = file->text;
    Lexer words(text.data(), static_cast<std::int32_t>(text.size()));
    for (Token t = words.Next(); t.kind != TokenKind::kEnd; t = words.Next()) {
      if (t.kind == TokenKind::kDirective) {
        Directive(DirectiveBody(words.TextOf(t)), file->path, depth + 1);
      }
    }
  }

  IncludeReader* includes_;
  bool choosing_ = false;
  NameSet defined_;
  std::vector<std::string> switches_;
  std::deque<std::string> spliced_;  // directives without their splices, which defined_ views
  std::unordered_map<std::string, std::string> literals_;  // macros whose body is a "file name"
  std::unordered_set<const IncludedFile*> read_;
};

// Each directive of the header, as the header wrote it, in order.
template <typename Take>
void ForEachDirective(const char* wrap, std::int32_t wrapLength, const char* header,
                      std::int32_t headerLength, Take take) {
  HeaderMirror mirror(wrap, wrapLength, header, headerLength);
  Lexer lexer(wrap, wrapLength, TextKind::kWrap);
  std::string scratch;
  for (Token t = lexer.Next(); t.kind != TokenKind::kEnd; t = lexer.Next()) {
    if (t.kind != TokenKind::kCommentedDirective && t.kind != TokenKind::kDirective) {
      continue;
    }
    std::string_view directive;
    if (!HeaderDirective(&mirror, wrap, t, &scratch, &directive)) {
      continue;
    }
    if (!take(directive)) {
      return;
    }
  }
}

}  // namespace

std::vector<std::string> FindSwitches(const char* wrap, std::int32_t wrapLength, const char* header,
                                      std::int32_t headerLength, IncludeReader* includes) {
  Finder finder(includes);
  // Directives without the header's bytes are taken back into a scratch text: they are kept.
  std::deque<std::string> kept;
  const auto each = [&](Finder& f, bool choosing) {
    ForEachDirective(wrap, wrapLength, header, headerLength, [&](std::string_view directive) {
      const auto within = [&directive](const char* text, std::int32_t length) {
        return text != nullptr && directive.data() >= text && directive.data() < text + length;
      };
      const bool ownText = within(wrap, wrapLength) || within(header, headerLength);
      if (!ownText && !choosing) {
        kept.emplace_back(directive);  // taken back from the wrap header: the names it defines
        directive = kept.back();       // are views of it
      }
      f.Directive(directive, {}, 0);
      return !(choosing && f.Done());
    });
  };
  each(finder, false);
  finder.StartChoosing();
  each(finder, true);
  return finder.Switches();
}

}  // namespace protowrap::check

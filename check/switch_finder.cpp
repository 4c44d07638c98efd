#include "check/switch_finder.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "check/build_configuration.h"
#include "check/expression.h"
#include "check/header_mirror.h"
#include "check/lexer.h"
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

class Finder {
 public:
  explicit Finder(IncludeReader* includes) : includes_(includes) {}

  // One directive (its text after the '#') of the header (`includer` empty) or of an include.
  void Directive(std::string_view directive, std::string_view includer, int depth) {
    std::string scratch;
    directive = WithoutSplices(directive, &scratch);
    Lexer lexer(directive.data(), static_cast<std::int32_t>(directive.size()));
    const Token word = lexer.Next();
    if (word.kind != TokenKind::kIdentifier) {
      return;
    }
    const std::string_view name = lexer.TextOf(word);
    if (name == "define") {
      const Token defined = lexer.Next();
      if (defined.kind == TokenKind::kIdentifier) {
        const std::string_view macro = lexer.TextOf(defined);
        defined_.emplace(macro);
        const Token body = lexer.Next();
        if (body.kind == TokenKind::kLiteral && lexer.TextOf(body).front() == '"') {
          literals_[std::string(macro)] = std::string(lexer.TextOf(body));
        }
      }
    } else if (name == "include" || name == "include_next" || name == "import") {
      Include(lexer, includer, depth);
    } else if (includer.empty() && (name == "if" || name == "elif" || name == "ifdef" ||
                                    name == "ifndef" || name == "elifdef" || name == "elifndef")) {
      for (Token t = lexer.Next(); t.kind != TokenKind::kEnd; t = lexer.Next()) {
        if (t.kind == TokenKind::kIdentifier) {
          const std::string_view tested = lexer.TextOf(t);
          if (!NamesNoMacro(tested) && seen_.emplace(tested).second) {
            tested_.emplace_back(tested);
          }
        }
      }
    }
  }

  std::vector<std::string> Switches() const {
    std::vector<std::string> switches;
    for (const std::string& name : tested_) {
      if (static_cast<int>(switches.size()) == kMaxSwitches) {
        break;
      }
      if (defined_.count(name) == 0 && FindPredefined(TargetId::kLinux, name) == nullptr &&
          FindPredefined(TargetId::kWindows, name) == nullptr && !IsLibraryName(name)) {
        switches.push_back(name);
      }
    }
    return switches;
  }

 private:
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
        const std::string_view raw = words.TextOf(t);
        Directive(raw.substr(raw.front() == '#' ? 1 : 2), file->path, depth + 1);
      }
    }
  }

  IncludeReader* includes_;
  std::unordered_set<std::string> defined_;
  std::unordered_set<std::string> seen_;
  std::vector<std::string> tested_;
  std::unordered_map<std::string, std::string> literals_;  // macros whose body is a "file name"
  std::unordered_set<const IncludedFile*> read_;
};

}  // namespace

std::vector<std::string> FindSwitches(const char* wrap, std::int32_t wrapLength, const char* header,
                                      std::int32_t headerLength, IncludeReader* includes) {
  Finder finder(includes);
  HeaderMirror mirror(wrap, wrapLength, header, headerLength);
  Lexer lexer(wrap, wrapLength, TextKind::kWrap);
  std::string scratch;
  for (Token t = lexer.Next(); t.kind != TokenKind::kEnd; t = lexer.Next()) {
    if (t.kind != TokenKind::kCommentedDirective && t.kind != TokenKind::kDirective) {
      continue;
    }
    const std::string_view raw = lexer.TextOf(t);
    if (raw.starts_with("//#include")) {
      continue;  // a comment of the header
    }
    std::string_view directive;
    if (mirror.Available()) {
      if (!mirror.DirectiveOnLineOf(t.begin, &directive)) {
        continue;
      }
    } else {
      directive = HeaderTextOf(raw.substr(raw.starts_with("//#") ? 3 : raw.front() == '#' ? 1 : 2),
                               &scratch);
    }
    finder.Directive(directive, {}, 0);
  }
  return finder.Switches();
}

}  // namespace protowrap::check

// What a header's preprocessor lines do, in each build configuration: the wrap header has them
// commented out, so this is how the check knows what the header itself declares where.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "check/build_configuration.h"
#include "check/expression.h"
#include "check/header_mirror.h"
#include "check/include_reader.h"
#include "check/lexer.h"
#include "check/macro_scope.h"
#include "check/problems.h"

namespace protowrap::check {

/// What the preprocessor model starts from, beside the wrap header.
struct PreprocessorSetup {
  HeaderMirror* mirror = nullptr;     ///< the header's bytes, for its directives (or none)
  IncludeReader* includes = nullptr;  ///< the header's quoted includes (or none: all unread)
  std::vector<std::string> switches;  ///< the header's own switches (FindSwitches)
  std::size_t macroLimit = 64 * 1024;  ///< the most bytes the macro table may hold
};

/// Follows the directives of a header through its wrap header ("//#if ...", "//#define ...", and
/// the includes and digraph directives that stay live), in every configuration at once:
/// - conditional blocks: which configurations compile the text at the current place (Active), in
///   Kleene's three values, with conditions evaluated as the compilers evaluate them, from the
///   macros the header and its includes define and those the compilers predefine (MacroScope);
/// - the files of quoted includes, read for what they define (IncludeReader); an include that
///   cannot be read leaves the names it might define unknown;
/// - include guards (#ifndef X, #if !defined(X), #if !defined X, then #define X, with comments,
///   blank lines or #pragma once between, and an #endif that closes at the end of the header),
///   which hold whenever the header is included;
/// - #error, which keeps a configuration from compiling the header at all (MayFail);
/// - digraph directives (%:if ...), which the rules leave live: the wrap header compiles what
///   they enclose only where they hold (WrapActive).
///
/// A guard is taken for one when its #define follows; should its #endif not close the header,
/// NotAGuard says so, and the check runs again without it. Memory: a few bytes per open block and
/// per branch, the macro table (at most `macroLimit`) and the includes read.
class Preprocessor {
 public:
  /// `text`: the wrap header. `notGuard`: the offset of a block that an earlier run took for a
  /// guard wrongly (-1 for none); `guards`: whether to look for guards at all.
  Preprocessor(const char* text, std::int32_t length, ExpansionBudget& budget,
               std::int32_t notGuard, bool guards, PreprocessorSetup setup = {});
  Preprocessor(const Preprocessor&) = delete;
  Preprocessor& operator=(const Preprocessor&) = delete;

  /// What a directive's block comment shows of the header as code: it opens on the directive's
  /// line, which the wrap header comments out, and closes on a later one.
  struct Exposed {
    std::int32_t first = -1;  ///< the first code token, or -1 for none
    std::int32_t end = -1;    ///< just after the comment's "*/"
  };

  /// A directive that the rules commented out (its token, from "//#").
  Exposed Directive(const Token& token);

  /// A directive that stays live in the wrap header: an include, or a digraph directive.
  void LiveDirective(const Token& token);

  /// A directive of the header after the NUL byte where its wrap header ended (`directive`: the
  /// token, from its '#' or "%:").
  void HeaderDirectiveAfterEnd(std::string_view directive);

  /// The end of the wrap header: blocks left open keep the header from compiling, unless the
  /// header goes on (`cut`: the wrap header ends at a NUL byte of the header).
  void Finish(bool cut);

  /// Where the configurations compile the header's text at the current place.
  Truth Active() const { return regions_[static_cast<std::size_t>(Region())]; }

  /// Where the wrap header compiles its text at the current place: everywhere but inside the
  /// digraph conditionals that stay live there (whose truth the check does not follow).
  Truth WrapActive() const { return liveBlocks_ == 0 ? Truth::Always() : Truth::Unknown(); }

  /// The innermost branch of a conditional block around the current place (0: none).
  std::int32_t Region() const { return blocks_.empty() ? 0 : blocks_.back().region; }

  /// The macros of `configuration` at the current place.
  const MacroLookup& Macros(int configuration) const { return scope_.LookupIn(configuration); }

  /// The names' meanings at the current place.
  const MacroScope& Scope() const { return scope_; }

  /// Whether the macros that decide `name` differ between configurations here.
  bool SameEverywhere(std::string_view name) const { return scope_.SameEverywhere(name); }

  /// The configurations in use (the targets', and one per switch of the header).
  ConfigurationSet InUse() const { return scope_.InUse(); }

  /// Configurations in which the header may not compile by itself (#error, an unbalanced block).
  ConfigurationSet MayFail() const { return mayFail_; }

  /// Configurations in which the header surely does not compile by itself.
  ConfigurationSet MustFail() const { return mustFail_; }

  /// The offset of a block taken for a guard that is none, or -1.
  std::int32_t NotAGuard() const { return notAGuard_; }

  /// What one of the names that the client defines (MAKE_PROTOCOL_INFO, ...) is at the current
  /// place in `configuration`, when the header touched it.
  struct ClientMacro {
    enum class Kind : std::uint8_t { kClient, kUndefined, kFunction, kObject, kUnknown };
    Kind kind = Kind::kClient;
    int parameters = 0;
    bool variadic = false;
  };
  ClientMacro ClientMacroIn(std::string_view name, int configuration) const;

  /// The client's names that the header defined or undefined anywhere (ClientName bits).
  std::uint8_t TouchedClientMacros() const { return touchedClient_; }

 private:
  struct Block {
    std::int32_t region;
    Truth taken;  // whether an earlier branch was taken
    bool guard;   // taken for an include guard
    bool live;    // a digraph block, live in the wrap header too
  };
  // Where a directive comes from: the header (commented out in the wrap header), the header and
  // the wrap header both (a live one), or a file the header includes.
  enum class Source : std::uint8_t { kHeader, kLive, kInclude };

  void Process(std::string_view directive, std::int32_t at, std::int32_t end, Source source);
  Truth Evaluate(std::string_view condition, ConfigurationSet needed);
  Truth Defined(std::string_view name, ConfigurationSet needed);
  Truth Spread(Truth truth) const;
  Truth Parent() const;
  void Open(const Truth& condition, std::int32_t at, std::string_view guard, Source source);
  void Branch(const Truth& condition);
  void Close(std::int32_t end, Source source);
  void Define(std::string_view rest, std::int32_t at, bool undefine, Source source);
  void Fail();
  void Include(std::string_view operand, std::string_view includer);
  void ReadInclude(const IncludedFile& file);
  Exposed ExposedBy(std::string_view directive, std::int32_t end);
  bool OnlyCommentsBetween(std::int32_t from, std::int32_t to, bool pragmaOnce) const;

  const char* text_;
  std::int32_t length_;
  ExpressionEvaluator evaluator_;
  std::int32_t notGuard_;
  bool guards_;
  HeaderMirror* mirror_;
  IncludeReader* includes_;
  MacroScope scope_;
  std::deque<Truth> regions_{Truth::Always()};  // in blocks: never copied as they grow
  std::deque<Block> blocks_;
  int liveBlocks_ = 0;
  int includeDepth_ = 0;
  std::string_view includer_;  // the include whose directives are read (empty: the header)
  std::unordered_set<const IncludedFile*> read_;  // the includes read for their macros
  ConfigurationSet mayFail_ = 0;
  ConfigurationSet mustFail_ = 0;
  std::int32_t notAGuard_ = -1;
  std::uint8_t touchedClient_ = 0;
  // An #ifndef X at the top that may be a guard, until the next directive says.
  std::string guardName_;
  std::int32_t guardOpenEnd_ = -1;
  std::string scratch_;
  // The last search for the "*/" of a comment that a directive opened: from where, and where it
  // ended (-1: none), so that a later directive inside the same stretch does not search again.
  std::int32_t searchedFrom_ = -1;
  std::int32_t searchedClose_ = -1;
};

}  // namespace protowrap::check

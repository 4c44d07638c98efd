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
  HeaderMirror* mirror = nullptr;      ///< the header's bytes, for its directives (or none)
  IncludeReader* includes = nullptr;   ///< the header's quoted includes (or none: all unread)
  std::vector<std::string> switches;   ///< the header's own switches (FindSwitches)
  std::size_t macroLimit = 64 * 1024;  ///< the most bytes the macro table may hold
};

/// Follows the directives of a header through its wrap header ("//#if ...", "//#define ...", and
/// the includes and digraph directives that stay live), in every configuration at once:
/// - conditional blocks: which configurations compile the text at the current place (Active), in
///   Kleene's three values, with conditions evaluated as the compilers evaluate them, from the
///   macros the header and its includes define and those the compilers predefine (MacroScope);
/// - the files of quoted includes, read for what they define (IncludeReader); an include that
///   cannot be read leaves the names it might define unknown;
/// - the include guard (FindIncludeGuard), which holds whenever the header is included;
/// - #error, which keeps a configuration from compiling the header at all (MayFail);
/// - digraph directives (%:if ...), which the rules leave live: the wrap header compiles what
///   they enclose only where they hold (WrapActive).
///
/// Memory: a few bytes per open block and per branch, the macro table (at most `macroLimit`) and
/// the includes read.
class Preprocessor {
 public:
  /// `text`: the wrap header. `guard`: where its include guard opens (FindIncludeGuard), or -1.
  Preprocessor(const char* text, std::int32_t length, ExpansionBudget& budget, std::int32_t guard,
               PreprocessorSetup setup = {});
  Preprocessor(const Preprocessor&) = delete;
  Preprocessor& operator=(const Preprocessor&) = delete;

  /// A directive of the wrap header: one that the rules commented out (its token, from "//#"),
  /// or one that stays live (an include, or a digraph directive). False when the header has no
  /// directive there (HeaderDirective).
  bool Directive(const Token& token);

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

  /// The conditions evaluated once for all the configurations that needed them, since each of
  /// their names means the same in all (FastPathCounts).
  std::int64_t SharedConditions() const { return sharedConditions_; }

 private:
  struct Block {
    std::int32_t region;
    Truth taken;  // whether an earlier branch was taken
    bool live;    // a digraph block, live in the wrap header too
  };
  // Where a directive comes from: the header (commented out in the wrap header), the header and
  // the wrap header both (a live one), or a file the header includes.
  enum class Source : std::uint8_t { kHeader, kLive, kInclude };

  void Process(std::string_view directive, std::int32_t end, Source source);
  Truth Evaluate(std::string_view condition, ConfigurationSet needed);
  Truth Defined(std::string_view name, ConfigurationSet needed);
  Truth Spread(Truth truth) const;
  Truth Parent() const;
  void Open(const Truth& condition, std::int32_t at, Source source);
  void Branch(const Truth& condition);
  void Close();
  void Define(std::string_view rest, bool undefine);
  void Fail();
  void Include(std::string_view operand, std::string_view includer);
  void ReadInclude(const IncludedFile& file);

  const char* text_;
  std::int32_t length_;
  ExpressionEvaluator evaluator_;
  std::int32_t guard_;
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
  std::uint8_t touchedClient_ = 0;
  std::int64_t sharedConditions_ = 0;
  std::string scratch_;
};

}  // namespace protowrap::check

// What a header's preprocessor lines do, in each build configuration: the wrap header has them
// commented out, so this is how the check knows what the header itself declares where.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

#include "check/configurations.h"
#include "check/expression.h"
#include "check/lexer.h"
#include "check/macro_table.h"
#include "check/problems.h"

namespace protowrap::check {

/// Follows the directives of a header through its wrap header ("//#if ...", "//#define ...", and
/// the includes that stay), in every configuration at once:
/// - conditional blocks: which configurations compile the text at the current place (Active), in
///   Kleene's three values, with conditions evaluated as the compilers evaluate them, from the
///   macros the header defines and those the compilers predefine;
/// - include guards (#ifndef X, #if !defined(X), #if !defined X, then #define X, with comments,
///   blank lines or #pragma once between, and an #endif that closes at the end of the header),
///   which hold whenever the header is included;
/// - #error, which keeps a configuration from compiling the header at all (MayFail);
/// - includes, after which a name the header does not define may be a macro (unknown).
///
/// A guard is taken for one when its #define follows; should its #endif not close the header,
/// Restart says so, and the check runs again without it. Memory: a few bytes per open block and
/// per branch, and the macro table (MacroTable), whatever the header.
class Preprocessor {
 public:
  /// `text`: the wrap header. `notGuard`: the offset of a block that an earlier run took for a
  /// guard wrongly (-1 for none); `guards`: whether to look for guards at all.
  Preprocessor(const char* text, std::int32_t length, ExpansionBudget& budget,
               std::int32_t notGuard, bool guards);
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

  /// An include that the rules left alone.
  void Include();

  /// The end of the wrap header: blocks left open keep the header from compiling, unless the
  /// header goes on (`cut`: the wrap header ends at a NUL byte of the header).
  void Finish(bool cut);

  /// Where the configurations compile the text at the current place.
  Truth Active() const { return regions_[static_cast<std::size_t>(Region())]; }

  /// The innermost branch of a conditional block around the current place (0: none).
  std::int32_t Region() const { return blocks_.empty() ? 0 : blocks_.back().region; }

  /// The macros of `configuration` at the current place.
  const MacroLookup& Macros(int configuration) const { return lanes_[configuration]; }

  /// Whether the macros that decide `name` differ between configurations here.
  bool SameEverywhere(std::string_view name) const;

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
  };

  class Lane final : public MacroLookup {
   public:
    MacroMeaning Find(std::string_view name) const override;
    const Preprocessor* owner = nullptr;
    int configuration = 0;
  };

  MacroMeaning Meaning(std::string_view name, int configuration) const;
  MacroMeaning Definition(std::int32_t at, ClientMacro* shape) const;
  Truth Evaluate(std::string_view condition, ConfigurationSet needed);
  Truth Defined(std::string_view name, ConfigurationSet needed);
  Truth Parent() const;
  void Open(const Truth& condition, std::int32_t at, std::string_view guard);
  void Branch(const Truth& condition);
  void Close(std::int32_t end);
  void Define(std::string_view rest, std::int32_t at, bool undefine);
  Exposed ExposedBy(std::string_view directive, std::int32_t end) const;
  bool OnlyCommentsBetween(std::int32_t from, std::int32_t to, bool pragmaOnce) const;

  const char* text_;
  std::int32_t length_;
  ExpressionEvaluator evaluator_;
  std::int32_t notGuard_;
  bool guards_;
  std::deque<Truth> regions_{Truth::Always()};  // in blocks: never copied as they grow
  std::deque<Block> blocks_;
  MacroTable macros_;
  Lane lanes_[kConfigurationCount];
  ConfigurationSet included_ = 0;
  ConfigurationSet mayFail_ = 0;
  ConfigurationSet mustFail_ = 0;
  std::int32_t notAGuard_ = -1;
  std::uint8_t touchedClient_ = 0;
  // An #ifndef X at the top that may be a guard, until the next directive says.
  std::string guardName_;
  std::int32_t guardOpenEnd_ = -1;
  std::string scratch_;
  mutable std::string definition_;
};

}  // namespace protowrap::check

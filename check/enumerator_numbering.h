// The values of an enumeration's enumerators, one after the other, in every build configuration
// at once: the value each is given, or the one after the previous enumerator's.
#pragma once

#include <cstdint>
#include <string_view>

#include "check/build_configuration.h"
#include "check/expression.h"

namespace protowrap::check {

/// Numbers the enumerators of one enumeration as the compilers do, in each configuration, since
/// conditional blocks may leave an enumerator out of some (and the numbering goes on without it)
/// and the header's macros may give a value one number here and another there. An enumerator
/// that a configuration may or may not compile leaves what follows it unknown there.
class EnumeratorNumbering {
 public:
  /// The configurations' macros, for values that name one; the configurations in use.
  EnumeratorNumbering(const MacroLookup* const (&macros)[kMaxConfigurations],
                      ConfigurationSet inUse);

  /// Starts a new enumeration.
  void Restart();

  /// The next enumerator, compiled where `active` holds (perhaps where it may), with the value
  /// `value` (as the rules left it, or `headerText`: as the header wrote it) or, when `given` is
  /// false, the previous one's + 1; `number` says that `value` is one integer literal. Returns
  /// the configurations that compile it with a value outside int.
  ConfigurationSet Next(Truth active, bool given, std::string_view value, bool number,
                        ExpressionEvaluator& evaluator, bool headerText = false);

  /// The usual enumerator at the least cost: without a value, compiled wherever the header is
  /// (`active`), where every configuration numbers alike and the previous one was an int below
  /// int's maximum. Returns false, having done nothing, where Next must number it.
  bool NextPlainInt(Truth active) {
    Evaluation& last = last_[0];
    if (same_ && active.holds == kEveryConfiguration && (started_ & inUse_) == inUse_ &&
        last.known && StepInt(&last.value)) {
      ++shortcuts_;
      return true;
    }
    return false;
  }

  /// The same for an enumerator whose value is a small decimal number (see ParseSmallDecimal):
  /// numbered where every configuration numbers alike and compiles it; false, having done
  /// nothing, where Next must number it.
  bool NextSmallDecimal(Truth active, std::string_view value) {
    std::int32_t number = 0;
    if (!same_ || active.holds != kEveryConfiguration || !ParseSmallDecimal(value, &number)) {
      return false;
    }
    last_[0] = {true, IntegerValue::OfInt(number)};
    started_ = kEveryConfiguration;
    ++shortcuts_;
    return true;
  }

  /// How many enumerators were numbered the fast ways, without evaluating an expression and
  /// once for every configuration.
  std::int64_t FastNumbered() const { return fastNumbered_ + shortcuts_; }

  /// How many of those NextPlainInt and NextSmallDecimal numbered.
  std::int64_t Shortcuts() const { return shortcuts_; }

  /// An enumerator whose value the check cannot know.
  void Unknown(Truth active);

  /// The last enumerator's value in configuration `c`, where it is known.
  const Evaluation& Last(int c) const { return last_[same_ ? 0 : c]; }

 private:
  bool NextEverywhere(bool given, std::string_view value, bool number, ConfigurationSet* tooLarge);
  void Separate();
  void Rejoin();

  const MacroLookup* const (&macros_)[kMaxConfigurations];
  ConfigurationSet inUse_;
  Evaluation last_[kMaxConfigurations];  // known when the previous enumerator's value is
  ConfigurationSet started_ = 0;         // where an enumerator came before
  bool same_ = true;                     // every configuration is at last_[0] (the usual case)
  std::int64_t fastNumbered_ = 0;
  std::int64_t shortcuts_ = 0;
};

}  // namespace protowrap::check

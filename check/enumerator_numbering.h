// The values of an enumeration's enumerators, one after the other, in every build configuration
// at once: the value each is given, or the one after the previous enumerator's.
#pragma once

#include <string_view>

#include "check/configurations.h"
#include "check/expression.h"

namespace protowrap::check {

/// Numbers the enumerators of one enumeration as the compilers do, in each configuration, since
/// conditional blocks may leave an enumerator out of some (and the numbering goes on without it)
/// and the header's macros may give a value one number here and another there. An enumerator
/// that a configuration may or may not compile leaves what follows it unknown there.
class EnumeratorNumbering {
 public:
  /// The configurations' macros, for values that name one.
  explicit EnumeratorNumbering(const MacroLookup* const (&macros)[kConfigurationCount]);

  /// Starts a new enumeration.
  void Restart();

  /// The next enumerator, compiled where `active` holds (perhaps where it may), with the value
  /// `value` (as the rules left it) or, when `given` is false, the previous one's + 1; `number`
  /// says that `value` is one integer literal. Returns the configurations that compile it with a
  /// value outside int.
  ConfigurationSet Next(Truth active, bool given, std::string_view value, bool number,
                        ExpressionEvaluator& evaluator);

  /// An enumerator whose value the check cannot know.
  void Unknown(Truth active);

 private:
  ConfigurationSet NextEverywhere(bool given, std::string_view value, bool number, bool* done);
  void Separate();

  const MacroLookup* const (&macros_)[kConfigurationCount];
  Evaluation last_[kConfigurationCount];  // known when the previous enumerator's value is
  ConfigurationSet started_ = 0;          // where an enumerator came before
  bool same_ = true;                      // every configuration is at last_[0] (the usual case)
};

}  // namespace protowrap::check

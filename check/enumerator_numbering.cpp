// Enumerators' values, one after the other, in every build configuration.
#include "check/enumerator_numbering.h"

#include <cassert>

#include "check/char_class.h"

namespace protowrap::check {

namespace {

// Whether `text` is one integer literal.
bool IsNumber(std::string_view text) {
  if (text.empty() || !IsDigit(text[0])) {
    return false;
  }
  for (const char c : text) {
    if (!IsIdentifierByte(c) && c != '\'') {
      return false;
    }
  }
  return true;
}

// Whether two configurations hold the same previous value, of the same type.
bool SameEvaluation(const Evaluation& a, const Evaluation& b) {
  return a.known == b.known &&
         (!a.known || (a.value.bits == b.value.bits && a.value.width == b.value.width &&
                       a.value.isSigned == b.value.isSigned && a.value.rank == b.value.rank));
}

}  // namespace

EnumeratorNumbering::EnumeratorNumbering(const MacroLookup* const (&macros)[kMaxConfigurations],
                                         ConfigurationSet inUse)
    : macros_(macros), inUse_(inUse) {
  assert((inUse & Only(0)) != 0);  // the first configuration is in use: last_[0] is one of them
}

void EnumeratorNumbering::Restart() {
  for (Evaluation& last : last_) {
    last = {};
  }
  started_ = 0;
  same_ = true;
}

void EnumeratorNumbering::Separate() {
  if (same_) {
    for (Evaluation& last : last_) {
      last = last_[0];
    }
    same_ = false;
  }
}

// The usual case, at the cost of one value: every configuration numbers alike and compiles the
// enumerator, which has no value or a number. False, having done nothing, for another value.
bool EnumeratorNumbering::NextEverywhere(bool given, std::string_view value, bool number,
                                         ConfigurationSet* tooLarge) {
  Evaluation next;
  const Evaluation& last = last_[0];
  if (given) {
    if (!number && !IsNumber(value)) {
      return false;
    }
    next.known = ParseIntegerLiteral(value, &next.value);
  } else if (started_ == 0) {
    next = {true, IntegerValue::OfInt(0)};  // the first enumerator: 0, an int
  } else if (last.known) {
    next.known = NextEnumeratorValue(last.value, &next.value, macros_[0]->LongWidth());
  }
  started_ = kEveryConfiguration;
  last_[0] = next;
  *tooLarge = !next.known || next.value.FitsInInt() ? 0 : kEveryConfiguration;
  ++fastNumbered_;
  return true;
}

ConfigurationSet EnumeratorNumbering::Next(Truth active, bool given, std::string_view value,
                                           bool number, ExpressionEvaluator& evaluator,
                                           bool headerText) {
  ConfigurationSet tooLarge = 0;
  if (same_ && active.holds == kEveryConfiguration &&
      NextEverywhere(given, value, number, &tooLarge)) {
    return tooLarge;
  }
  Separate();
  const ConfigurationSet may = active.MayHold() & inUse_;
  for (int c : Each(may)) {  // where it is not compiled, the numbering goes on without it
    const ConfigurationSet configuration = Only(c);
    Evaluation next =
        given ? evaluator.Evaluate(value, ExpressionUse::kEnumerator, *macros_[c], headerText)
              : Evaluation{};
    if (!given) {
      if ((started_ & configuration) == 0) {
        next = {true, IntegerValue::OfInt(0)};  // the first enumerator: 0, an int
      } else if (last_[c].known) {
        next.known = NextEnumeratorValue(last_[c].value, &next.value, macros_[c]->LongWidth());
      }
    }
    started_ |= configuration;
    if ((active.holds & configuration) == 0) {
      last_[c] = {};  // perhaps compiled: what follows is not known
      continue;
    }
    last_[c] = next;
    if (next.known && !next.value.FitsInInt()) {
      tooLarge |= configuration;
    }
  }
  Rejoin();
  return tooLarge;
}

// After the general way: where every configuration in use holds the same previous value (or none
// has begun), the usual case holds again, and the enumerators that follow an expression's value
// are numbered the fast ways.
void EnumeratorNumbering::Rejoin() {
  const ConfigurationSet started = started_ & inUse_;
  if (same_ || (started != 0 && started != inUse_)) {
    return;
  }
  for (int c : Each(inUse_)) {
    if (!SameEvaluation(last_[0], last_[c])) {
      return;
    }
  }
  started_ = started == 0 ? 0 : kEveryConfiguration;
  same_ = true;
}

void EnumeratorNumbering::Unknown(Truth active) {
  Separate();
  const ConfigurationSet may = active.MayHold() & inUse_;
  for (int c : Each(may)) {
    last_[c] = {};
  }
  started_ |= may;
  Rejoin();
}

}  // namespace protowrap::check

// Enumerators' values, one after the other, in every build configuration.
#include "check/enumerator_numbering.h"

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

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (IsBlank(text.front()) || IsLineEnd(text.front()))) {
    text.remove_prefix(1);
  }
  while (!text.empty() && (IsBlank(text.back()) || IsLineEnd(text.back()))) {
    text.remove_suffix(1);
  }
  return text;
}

}  // namespace

EnumeratorNumbering::EnumeratorNumbering(const MacroLookup* const (&macros)[kMaxConfigurations],
                                         ConfigurationSet inUse)
    : macros_(macros), inUse_(inUse) {}

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
// enumerator, which has no value or a number.
ConfigurationSet EnumeratorNumbering::NextEverywhere(bool given, std::string_view value,
                                                     bool number, bool* done) {
  Evaluation next;
  const Evaluation& last = last_[0];
  if (given) {
    if (!number && !IsNumber(value)) {
      *done = false;
      return 0;
    }
    next.known = ParseIntegerLiteral(value, &next.value);
  } else if (started_ == 0) {
    next = {true, IntegerValue::OfInt(0)};  // the first enumerator: 0, an int
  } else if (last.known) {
    next.known = NextEnumeratorValue(last.value, &next.value);
  }
  started_ = kEveryConfiguration;
  last_[0] = next;
  *done = true;
  const bool fits =
      !next.known || (next.value.rank == 1 && next.value.isSigned) || next.value.FitsInInt();
  return fits ? 0 : kEveryConfiguration;
}

ConfigurationSet EnumeratorNumbering::Next(Truth active, bool given, std::string_view value,
                                           bool number, ExpressionEvaluator& evaluator,
                                           bool headerText) {
  if (same_ && active.holds == kEveryConfiguration) {
    bool done = false;
    const ConfigurationSet tooLarge = NextEverywhere(given, value, number, &done);
    if (done) {
      return tooLarge;
    }
  }
  Separate();
  const ConfigurationSet may = active.MayHold() & inUse_;
  Evaluation values[kMaxConfigurations];
  if (given) {
    const std::string_view trimmed = Trimmed(value);
    for (int c = 0; c < kMaxConfigurations; ++c) {
      if ((may & Only(c)) == 0) {
        continue;
      }
      if (IsNumber(trimmed)) {
        values[c].known = ParseIntegerLiteral(trimmed, &values[c].value, macros_[c]->LongWidth());
      } else {
        values[c] = evaluator.Evaluate(value, ExpressionUse::kEnumerator, *macros_[c], headerText);
      }
    }
  }
  ConfigurationSet tooLarge = 0;
  for (int c = 0; c < kMaxConfigurations; ++c) {
    const ConfigurationSet configuration = Only(c);
    if ((may & configuration) == 0) {
      continue;  // not compiled here: the numbering goes on without it
    }
    Evaluation next = values[c];
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
  return tooLarge;
}

void EnumeratorNumbering::Unknown(Truth active) {
  Separate();
  const ConfigurationSet may = active.MayHold() & inUse_;
  for (int c = 0; c < kMaxConfigurations; ++c) {
    if ((may & Only(c)) != 0) {
      last_[c] = {};
      started_ |= Only(c);
    }
  }
}

}  // namespace protowrap::check

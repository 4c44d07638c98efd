// A differential test of enumerator numbering: random enumerations, compiled in some
// configurations and perhaps in others, numbered by the check and by a plain model of the
// language's rule (a value given, or the previous one's + 1, from 0): each value where it is
// known, and where it does not fit an int.
#include "check/enumerator_numbering.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <random>
#include <string>

namespace protowrap::check {
namespace {

// No macros; long is 64 bits on Linux (configurations 0, 1 and the switches') and 32 on
// Windows (2 and 3).
struct NoMacros final : MacroLookup {
  explicit NoMacros(std::uint8_t longWidth) : longWidth_(longWidth) {}
  MacroMeaning Find(std::string_view) const override { return {MacroMeaning::Kind::kNone, {}}; }
  std::uint8_t LongWidth() const override { return longWidth_; }
  std::uint8_t longWidth_;
};

// The language's rule, configuration by configuration.
struct Model {
  std::optional<std::int64_t> last[kMaxConfigurations];
  bool started[kMaxConfigurations] = {};

  ConfigurationSet Next(Truth active, ConfigurationSet inUse, std::optional<std::int64_t> given,
                        bool unknown) {
    ConfigurationSet tooLarge = 0;
    for (int c = 0; c < kMaxConfigurations; ++c) {
      if ((active.MayHold() & inUse & Only(c)) == 0) {
        continue;
      }
      std::optional<std::int64_t> next = given;
      if (unknown) {
        next.reset();
      } else if (!given) {
        next = !started[c] ? std::optional<std::int64_t>(0)
               : last[c]   ? std::optional<std::int64_t>(*last[c] + 1)
                           : std::nullopt;
      }
      started[c] = true;
      last[c] = (active.holds & Only(c)) != 0 ? next : std::nullopt;
      if ((active.holds & Only(c)) != 0 && next && (*next > INT32_MAX || *next < INT32_MIN)) {
        tooLarge |= Only(c);
      }
    }
    return tooLarge;
  }
};

TEST(EnumeratorNumbering, NumbersAsTheLanguageDoesInEveryConfiguration) {
  const NoMacros linux(64);
  const NoMacros windows(32);
  const MacroLookup* macros[kMaxConfigurations];
  for (int c = 0; c < kMaxConfigurations; ++c) {
    macros[c] = c == 2 || c == 3 ? &windows : &linux;
  }
  ExpansionBudget budget(1 << 20);
  ExpressionEvaluator evaluator(budget);
  const struct {
    const char* text;
    std::int64_t value;
  } kValues[] = {{"7", 7},
                 {"123456789", 123456789},
                 {"0", 0},
                 {"2147483646", 2147483646},
                 {"2147483647", 2147483647},
                 {"0x7FFFFFFF", 2147483647},
                 {"2147483648", 2147483648},
                 {"0xFFFFFFFF", 4294967295},
                 {"4294967296", 4294967296},
                 {" 12", 12},
                 {"-5", -5},
                 {"(1u << 31) - 1", 2147483647},
                 {"-2147483647 - 1", INT32_MIN},
                 {"-2147483649", std::int64_t{INT32_MIN} - 1}};
  std::mt19937 random(2026);
  for (int enumeration = 0; enumeration < 3000; ++enumeration) {
    const ConfigurationSet inUse = ConfigurationsFor(static_cast<int>(random() % 3));
    EnumeratorNumbering numbering(macros, inUse);
    Model model;
    std::string history;
    for (int entry = 0, count = static_cast<int>(random() % 8); entry < count; ++entry) {
      // Mostly everywhere; else true here, false there, unknown elsewhere.
      Truth active = Truth::Always();
      if (random() % 3 == 0) {
        const auto holds = static_cast<ConfigurationSet>(random() & kEveryConfiguration);
        active = {holds, static_cast<ConfigurationSet>(random() & kEveryConfiguration & ~holds)};
      }
      const int kind = static_cast<int>(random() % 4);
      std::string where =
          "enumeration " + std::to_string(enumeration) + ", entry " + std::to_string(entry);
      where += " after";
      where += history;
      history += " [" + std::to_string(active.holds) + "/" + std::to_string(active.fails) + "]";
      if (kind == 3 && random() % 4 == 0) {
        numbering.Unknown(active);
        model.Next(active, inUse, std::nullopt, true);
        continue;
      }
      ConfigurationSet got = 0;
      ConfigurationSet expected = 0;
      if (kind == 0 || kind == 3) {  // no value: the parser tries the plain case first
        expected = model.Next(active, inUse, std::nullopt, false);
        if (!numbering.NextPlainInt(active)) {
          got = numbering.Next(active, false, {}, false, evaluator);
        }
      } else {
        const auto& value = kValues[random() % std::size(kValues)];
        where += std::string(", value ") + value.text;
        history += value.text;
        expected = model.Next(active, inUse, value.value, false);
        if (!numbering.NextSmallDecimal(active, value.text)) {
          const std::string_view text = value.text;
          got = numbering.Next(active, true, text,
                               text.find_first_not_of("0123456789") == std::string_view::npos,
                               evaluator);
        }
      }
      ASSERT_EQ(expected, got & inUse) << where;  // where it holds, of the configurations in use
      for (int c : Each(inUse)) {
        const Evaluation& last = numbering.Last(c);
        const std::optional<std::int64_t> value =
            !last.known           ? std::nullopt
            : last.value.isSigned ? std::optional<std::int64_t>(last.value.AsSigned())
                                  : std::optional<std::int64_t>(last.value.bits);
        ASSERT_EQ(model.last[c], value) << where << ", configuration " << c;
      }
    }
  }
}

}  // namespace
}  // namespace protowrap::check

// The build configurations that the header check judges a wrap header in, and truths that hold
// in some of them, fail in others and are unknown in the rest.
#pragma once

#include <bit>
#include <cstdint>

namespace protowrap::check {

/// A set of build configurations, one bit each.
using ConfigurationSet = std::uint16_t;

/// The targets, each built by its compilers (see targets.h).
enum class TargetId : std::uint8_t { kLinux, kWindows };
inline constexpr int kTargetCount = 2;

/// The most switches of a header's own (names its conditions test that nothing defines) that get
/// a configuration of their own.
inline constexpr int kMaxSwitches = 8;

/// A build configuration, by its index: 0 Linux with its compilers' defaults, 1 a Linux Debug build
/// (-D_DEBUG -DDEBUG), 2 and 3 the same for Windows; then, for the header's switch k, 4 + k a
/// build with the Linux compilers' defaults that defines it (-DNAME, as 1).
struct BuildConfiguration {
  int index = 0;

  TargetId Target() const {
    return index == 2 || index == 3 ? TargetId::kWindows : TargetId::kLinux;
  }
  bool Debug() const { return index == 1 || index == 3; }
  /// The switch this configuration defines, or -1.
  int Switch() const { return index < 4 ? -1 : index - 4; }
};

inline constexpr int kBaseConfigurations = 4;
inline constexpr int kMaxConfigurations = kBaseConfigurations + kMaxSwitches;
static_assert(kMaxConfigurations <= 16, "a ConfigurationSet holds every configuration");

inline constexpr ConfigurationSet kEveryConfiguration =
    static_cast<ConfigurationSet>((1u << kMaxConfigurations) - 1);
inline constexpr ConfigurationSet kBaseConfigurationSet =
    static_cast<ConfigurationSet>((1u << kBaseConfigurations) - 1);

inline constexpr ConfigurationSet Only(int configuration) {
  return static_cast<ConfigurationSet>(1u << configuration);
}

/// The configurations of a set, lowest index first: `for (int c : Each(set))`.
class Each {
 public:
  explicit constexpr Each(ConfigurationSet set) : set_(set) {}

  struct Iterator {
    unsigned rest;
    constexpr int operator*() const { return std::countr_zero(rest); }
    constexpr Iterator& operator++() {
      rest &= rest - 1;  // the lowest one taken out
      return *this;
    }
    constexpr bool operator!=(const Iterator& other) const { return rest != other.rest; }
  };
  constexpr Iterator begin() const { return {set_}; }
  constexpr Iterator end() const { return {0}; }

 private:
  ConfigurationSet set_;
};

/// The configurations in use for a header with `switches` switches of its own.
inline constexpr ConfigurationSet ConfigurationsFor(int switches) {
  return static_cast<ConfigurationSet>((1u << (kBaseConfigurations + switches)) - 1);
}

/// A condition in every configuration at once (Kleene's three values): true in `holds`, false in
/// `fails`, unknown in the others.
struct Truth {
  ConfigurationSet holds = 0;
  ConfigurationSet fails = 0;

  static constexpr Truth Always() { return {kEveryConfiguration, 0}; }
  static constexpr Truth Unknown() { return {0, 0}; }

  /// Where it may hold: everywhere it does not surely fail.
  constexpr ConfigurationSet MayHold() const {
    return static_cast<ConfigurationSet>(kEveryConfiguration & ~fails);
  }
  constexpr bool operator==(const Truth&) const = default;
};

constexpr Truth operator!(Truth a) {
  return {a.fails, a.holds};
}

constexpr Truth operator&&(Truth a, Truth b) {
  return {static_cast<ConfigurationSet>(a.holds & b.holds),
          static_cast<ConfigurationSet>(a.fails | b.fails)};
}

constexpr Truth operator||(Truth a, Truth b) {
  return {static_cast<ConfigurationSet>(a.holds | b.holds),
          static_cast<ConfigurationSet>(a.fails & b.fails)};
}

}  // namespace protowrap::check

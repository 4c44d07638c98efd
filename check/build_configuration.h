// The build configurations that the header check judges a wrap header in, and truths that hold
// in some of them, fail in others and are unknown in the rest.
#pragma once

#include <cstdint>

namespace protowrap::check {

/// A set of build configurations, one bit each.
using ConfigurationSet = std::uint32_t;

/// The targets, each built by its compilers (see targets.h).
enum class TargetId : std::uint8_t { kLinux, kWindows };
inline constexpr int kTargetCount = 2;

/// The most switches of a header's own (names its conditions test that nothing defines) that get
/// a configuration of their own.
inline constexpr int kMaxSwitches = 8;

/// A build configuration, by its index: 0 Linux with its compilers' defaults, 1 a Linux Debug build
/// (-D_DEBUG -DDEBUG), 2 and 3 the same for Windows; then, for the header's switch k, 4 + 2k a
/// Linux build and 5 + 2k a Windows build that define it (-DNAME, as 1).
struct BuildConfiguration {
  int index = 0;

  TargetId Target() const {
    return (index < 4 ? index / 2 : (index - 4) % 2) == 0 ? TargetId::kLinux : TargetId::kWindows;
  }
  bool Debug() const { return index < 4 && index % 2 == 1; }
  /// The switch this configuration defines, or -1.
  int Switch() const { return index < 4 ? -1 : (index - 4) / 2; }
};

inline constexpr int kBaseConfigurations = 4;
inline constexpr int kMaxConfigurations = kBaseConfigurations + 2 * kMaxSwitches;
static_assert(kMaxConfigurations <= 32, "a ConfigurationSet holds every configuration");

inline constexpr ConfigurationSet kEveryConfiguration = (ConfigurationSet{1} << kMaxConfigurations) - 1;
inline constexpr ConfigurationSet kBaseConfigurationSet = (1u << kBaseConfigurations) - 1;

inline constexpr ConfigurationSet Only(int configuration) {
  return ConfigurationSet{1} << configuration;
}

/// The configurations in use for a header with `switches` switches of its own.
inline constexpr ConfigurationSet ConfigurationsFor(int switches) {
  return (ConfigurationSet{1} << (kBaseConfigurations + 2 * switches)) - 1;
}

/// A condition in every configuration at once (Kleene's three values): true in `holds`, false in
/// `fails`, unknown in the others.
struct Truth {
  ConfigurationSet holds = 0;
  ConfigurationSet fails = 0;

  static constexpr Truth Always() { return {kEveryConfiguration, 0}; }
  static constexpr Truth Never() { return {0, kEveryConfiguration}; }
  static constexpr Truth Unknown() { return {0, 0}; }

  /// Where it may hold: everywhere it does not surely fail.
  constexpr ConfigurationSet MayHold() const { return kEveryConfiguration & ~fails; }
  constexpr bool operator==(const Truth&) const = default;
};

constexpr Truth operator!(Truth a) {
  return {a.fails, a.holds};
}

constexpr Truth operator&&(Truth a, Truth b) {
  return {a.holds & b.holds, a.fails | b.fails};
}

constexpr Truth operator||(Truth a, Truth b) {
  return {a.holds | b.holds, a.fails & b.fails};
}

}  // namespace protowrap::check

// The build configurations that the header check judges a wrap header in, and truths that hold
// in some of them, fail in others and are unknown in the rest.
#pragma once

#include <cstdint>

namespace protowrap::check {

/// The configurations: a build with the compiler's defaults and a Debug build (-D_DEBUG -DDEBUG),
/// each for Linux and for Windows (the platforms' predefined macros). A wrap header that fails in
/// one of them, where its header compiles, gets a warning.
enum class Configuration : std::uint8_t { kLinux, kLinuxDebug, kWindows, kWindowsDebug };

inline constexpr int kConfigurationCount = 4;

/// A set of configurations, one bit each.
using ConfigurationSet = std::uint8_t;

inline constexpr ConfigurationSet kEveryConfiguration = 0x0F;
inline constexpr ConfigurationSet kDebugConfigurations = 0x0A;
inline constexpr ConfigurationSet kWindowsConfigurations = 0x0C;

inline constexpr ConfigurationSet Only(int configuration) {
  return static_cast<ConfigurationSet>(1u << configuration);
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

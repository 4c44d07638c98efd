// The targets' rows. The macros come from the compilers themselves (g++'s and clang's -dM -E for
// Linux x86-64 and MinGW-w64, the Microsoft compiler's documented list), written into the .inc
// files by tests/predefined_macros.py, whose test fails when they no longer match.
#include "check/targets.h"

#include <algorithm>
#include <iterator>

namespace protowrap::check {

namespace {

constexpr auto kK = PredefinedMacro::kKnown;
constexpr auto kO = PredefinedMacro::kOpaque;
constexpr auto kU = PredefinedMacro::kUnknown;

#include "check/library_macros.inc"
#include "check/linux_macros.inc"
#include "check/windows_macros.inc"

constexpr Target kTargets[kTargetCount] = {
    {"Linux", 64, kLinuxMacros}, {"Windows", 32, kWindowsMacros},  // LLP64: long stays 32 bits
};

template <typename T, std::size_t N>
constexpr bool Sorted(const T (&items)[N], std::string_view (*key)(const T&)) {
  for (std::size_t i = 1; i < N; ++i) {
    if (!(key(items[i - 1]) < key(items[i]))) {
      return false;
    }
  }
  return true;
}

constexpr std::string_view NameOf(const PredefinedMacro& macro) {
  return macro.name;
}
constexpr std::string_view Itself(const std::string_view& name) {
  return name;
}
static_assert(Sorted(kLinuxMacros, NameOf) && Sorted(kWindowsMacros, NameOf) &&
                  Sorted(kLibraryNames, Itself),
              "lookups search the tables by halves");

}  // namespace

const Target& TargetOf(TargetId id) {
  return kTargets[static_cast<int>(id)];
}

const PredefinedMacro* FindPredefined(TargetId id, std::string_view name) {
  const std::span<const PredefinedMacro> macros = TargetOf(id).macros;
  const auto at = std::lower_bound(
      macros.begin(), macros.end(), name,
      [](const PredefinedMacro& macro, std::string_view key) { return macro.name < key; });
  return at != macros.end() && at->name == name ? &*at : nullptr;
}

bool IsLibraryName(std::string_view name) {
  if (std::binary_search(std::begin(kLibraryNames), std::end(kLibraryNames), name)) {
    return true;
  }
  return std::any_of(std::begin(kLibraryPrefixes), std::end(kLibraryPrefixes),
                     [name](std::string_view prefix) { return name.starts_with(prefix); });
}

}  // namespace protowrap::check

// protowrap's client header: include it before a protocol-definition header and its wrap header,
// and every table of the wrap header becomes an inline constexpr array of protowrap::Entry, one
// per enumerator and a closing entry, defined once for the whole program and usable at compile
// time:
//
//   #include <protowrap/protocol_table.h>
//   #include "Protocol_CG.h"
//   #include "Protocol_CG.WRAP.h"
//
//   static_assert(protowrap::HasUniqueCodes(sCG_LOGIN_PROTOCOL), "two names share a code");
//   std::printf("received %s\n", protowrap::NameOf(sCG_LOGIN_PROTOCOL, code));
//
// Standard C++17 (and later) only: no allocation, nothing but <cstddef> and <string_view>.
#ifndef PROTOWRAP_PROTOCOL_TABLE_H
#define PROTOWRAP_PROTOCOL_TABLE_H

#include <cstddef>
#include <string_view>

namespace protowrap {

/// One entry of a table: an enumerator's name, its value, and its name's length (0 where it was
/// not given: it is then measured). A table ends with an entry whose name is nullptr; the
/// functions below stop there, and take every entry of a table without one.
struct Entry {
  const char* name;
  int value;
  std::size_t length = 0;
};

/// The entries of a table, without its closing entry: a range for range-for and <algorithm>.
class EntryRange {
 public:
  constexpr EntryRange(const Entry* first, const Entry* last) : first_(first), last_(last) {}
  constexpr const Entry* begin() const { return first_; }
  constexpr const Entry* end() const { return last_; }
  constexpr std::size_t size() const { return static_cast<std::size_t>(last_ - first_); }
  constexpr bool empty() const { return first_ == last_; }
  constexpr const Entry& operator[](std::size_t i) const { return first_[i]; }

 private:
  const Entry* first_;
  const Entry* last_;
};

/// The number of entries of a table: those before its closing entry, or all of them when it has
/// none (a table whose enumeration ended in "} ;" and got no MAKE_PROTOCOL_INFO_EOR).
template <std::size_t N>
constexpr std::size_t Size(const Entry (&table)[N]) {
  return table[N - 1].name == nullptr ? N - 1 : N;
}

/// The entries of a table, its closing entry left out.
template <std::size_t N>
constexpr EntryRange Entries(const Entry (&table)[N]) {
  return EntryRange(table, table + Size(table));
}

/// The name of the first entry with the value `code`, or nullptr when there is none.
template <std::size_t N>
constexpr const char* NameOf(const Entry (&table)[N], int code) {
  const std::size_t size = Size(table);
  for (std::size_t i = 0; i < size; ++i) {
    if (table[i].value == code) {
      return table[i].name;
    }
  }
  return nullptr;
}

namespace detail {

// Whether `entry` is named `name` (of `length` characters): by its length first, then by its
// characters from the last (names of one table share their beginnings), never measuring the
// entry's name as a whole: constant evaluation counts every step.
constexpr bool IsNamed(const Entry& entry, const char* name, std::size_t length) {
  if (entry.name == nullptr || (entry.length != 0 && entry.length != length)) {
    return false;
  }
  if (entry.length == 0) {
    for (std::size_t i = 0; i < length; ++i) {
      if (entry.name[i] == '\0') {
        return false;  // shorter
      }
    }
    if (entry.name[length] != '\0') {
      return false;  // longer
    }
  }
  for (std::size_t i = length; i-- > 0;) {
    if (entry.name[i] != name[i]) {
      return false;
    }
  }
  return true;
}

// The slots of the set of codes that HasUniqueCodes keeps for a table of N entries: a power of
// two, at least twice N, so that a probe finds a free slot within a few steps.
constexpr std::size_t SlotBits(std::size_t n) {
  std::size_t bits = 1;
  while ((std::size_t{1} << bits) < 2 * n) {
    ++bits;
  }
  return bits;
}

}  // namespace detail

/// The value of the entry named `name`, or `fallback` when there is none.
template <std::size_t N>
constexpr int CodeOf(const Entry (&table)[N], std::string_view name, int fallback) {
  const std::size_t size = Size(table);
  const char* const spelled = name.data();
  const std::size_t length = name.size();
  for (std::size_t i = 0; i < size; ++i) {
    if (detail::IsNamed(table[i], spelled, length)) {
      return table[i].value;
    }
  }
  return fallback;
}

/// Whether no two entries of a table share a value. For a static_assert: two names with one code
/// is a common protocol bug. The codes go into a set (open addressing, Fibonacci hashing): a few
/// steps per entry, so that tables of 20,000 entries stay within the compilers' default limits on
/// constant evaluation.
template <std::size_t N>
constexpr bool HasUniqueCodes(const Entry (&table)[N]) {
  constexpr std::size_t kBits = detail::SlotBits(N);
  constexpr std::size_t kSlots = std::size_t{1} << kBits;
  int codes[kSlots] = {};
  bool used[kSlots] = {};
  const std::size_t size = Size(table);
  for (std::size_t i = 0; i < size; ++i) {
    const auto code = static_cast<unsigned long long>(static_cast<unsigned>(table[i].value));
    std::size_t at =
        static_cast<std::size_t>(((code * 0x9E3779B97F4A7C15ull) >> (64 - kBits)) & (kSlots - 1));
    while (used[at]) {
      if (codes[at] == table[i].value) {
        return false;
      }
      at = (at + 1) & (kSlots - 1);
    }
    used[at] = true;
    codes[at] = table[i].value;
  }
  return true;
}

}  // namespace protowrap

// The three names that a wrap header uses. An entry names its enumerator; the value that the
// header gave it, when it gave one, is the enumerator's own and is not read again. The extra
// expansion step makes MSVC's traditional preprocessor split __VA_ARGS__ as the standard says.
// clang-format off
#define PROTOCOL_STRUCT inline constexpr ::protowrap::Entry
#define MAKE_PROTOCOL_INFO(...) PROTOWRAP_EXPAND_(PROTOWRAP_ENTRY_(__VA_ARGS__, ))
#define MAKE_PROTOCOL_INFO_EOR() ::protowrap::Entry{nullptr, 0, 0}
#define PROTOWRAP_EXPAND_(x) x
#define PROTOWRAP_ENTRY_(name, ...) ::protowrap::Entry{#name, name, sizeof(#name) - 1}
// clang-format on

#endif  // PROTOWRAP_PROTOCOL_TABLE_H

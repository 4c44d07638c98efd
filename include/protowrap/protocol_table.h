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

/// One entry of a table: an enumerator's name and value. A table ends with an entry whose name is
/// nullptr; the functions below leave it out.
struct Entry {
  const char* name;
  int value;
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

/// The number of entries of a table, its closing entry left out.
template <std::size_t N>
constexpr std::size_t Size(const Entry (&)[N]) {
  return N - 1;
}

/// The entries of a table, its closing entry left out.
template <std::size_t N>
constexpr EntryRange Entries(const Entry (&table)[N]) {
  return EntryRange(table, table + (N - 1));
}

/// The name of the first entry with the value `code`, or nullptr when there is none.
template <std::size_t N>
constexpr const char* NameOf(const Entry (&table)[N], int code) {
  for (std::size_t i = 0; i + 1 < N; ++i) {
    if (table[i].value == code) {
      return table[i].name;
    }
  }
  return nullptr;
}

/// The value of the entry named `name`, or `fallback` when there is none.
template <std::size_t N>
constexpr int CodeOf(const Entry (&table)[N], std::string_view name, int fallback) {
  for (std::size_t i = 0; i + 1 < N; ++i) {
    if (name == table[i].name) {
      return table[i].value;
    }
  }
  return fallback;
}

namespace detail {

// Moves values[at] down the max-heap of the first `size` values.
constexpr void SiftDown(int* values, std::size_t at, std::size_t size) {
  for (std::size_t child = 2 * at + 1; child < size; at = child, child = 2 * at + 1) {
    if (child + 1 < size && values[child] < values[child + 1]) {
      ++child;
    }
    if (!(values[at] < values[child])) {
      return;
    }
    const int moved = values[at];
    values[at] = values[child];
    values[child] = moved;
  }
}

}  // namespace detail

/// Whether no two entries of a table share a value. For a static_assert: two names with one code
/// is a common protocol bug. The values are sorted at compile time (heapsort: n log n steps, so
/// that large tables stay within the compilers' limits on constant evaluation).
template <std::size_t N>
constexpr bool HasUniqueCodes(const Entry (&table)[N]) {
  const std::size_t n = N - 1;
  int values[N] = {};
  for (std::size_t i = 0; i < n; ++i) {
    values[i] = table[i].value;
  }
  for (std::size_t at = n / 2; at-- > 0;) {
    detail::SiftDown(values, at, n);
  }
  for (std::size_t size = n; size-- > 1;) {
    const int largest = values[0];
    values[0] = values[size];
    values[size] = largest;
    detail::SiftDown(values, 0, size);
  }
  for (std::size_t i = 1; i < n; ++i) {
    if (values[i - 1] == values[i]) {
      return false;
    }
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
#define MAKE_PROTOCOL_INFO_EOR() ::protowrap::Entry{nullptr, 0}
#define PROTOWRAP_EXPAND_(x) x
#define PROTOWRAP_ENTRY_(name, ...) ::protowrap::Entry{#name, name}
// clang-format on

#endif  // PROTOWRAP_PROTOCOL_TABLE_H

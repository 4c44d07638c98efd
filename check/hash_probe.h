// The one hash and the one probe of the check's tables: FNV-1a over names, and linear probing in a
// table whose size is a power of two.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace protowrap::check {

/// FNV-1a's offset basis and prime (64 bits).
inline constexpr std::uint64_t kHashBasis = 0xcbf29ce484222325ull;
inline constexpr std::uint64_t kHashPrime = 0x100000001b3ull;

/// FNV-1a over `text`, continuing from `hash`.
constexpr std::uint64_t HashOf(std::string_view text, std::uint64_t hash = kHashBasis) {
  for (const char c : text) {
    hash = (hash ^ static_cast<unsigned char>(c)) * kHashPrime;
  }
  return hash;
}

/// The slot for `hash` in a table of `size` slots (a power of two, never full): the first one,
/// from the hash on, that `stops` (the slot is empty, or holds what is looked for).
template <typename Stops>
std::size_t Probe(std::uint64_t hash, std::size_t size, Stops stops) {
  const std::size_t mask = size - 1;
  for (std::size_t at = static_cast<std::size_t>(hash) & mask;; at = (at + 1) & mask) {
    if (stops(at)) {
      return at;
    }
  }
}

}  // namespace protowrap::check

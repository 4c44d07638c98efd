// Sixty-four candidate positions at a time: vectors compare their first, second and last bytes with
// the pattern's, and only positions where all agree get the full comparison (none is needed for
// patterns of up to three bytes). SSE2 is part of every x86-64 processor.
#include "text/match_scan.h"

#if PROTOWRAP_HAS_SSE2
#include <emmintrin.h>

#include <bit>
#include <cstdint>
#include <cstring>

namespace protowrap::detail::sse2 {

namespace {

constexpr std::ptrdiff_t kBlock = 64;  // positions compared per step: four vectors

// Whether the `n` bytes at a and b agree (n >= 1), in a few word-sized loads rather than a call.
bool SameBytes(const char* a, const char* b, std::size_t n) {
  const auto same = [a, b](std::size_t at, auto word) {
    auto other = word;
    std::memcpy(&word, a + at, sizeof word);
    std::memcpy(&other, b + at, sizeof other);
    return word == other;
  };
  if (n >= 8) {
    for (std::size_t at = 0; at + 8 < n; at += 8) {
      if (!same(at, std::uint64_t{})) {
        return false;
      }
    }
    return same(n - 8, std::uint64_t{});  // the last eight, overlapping what went before
  }
  if (n >= 4) {
    return same(0, std::uint32_t{}) && same(n - 4, std::uint32_t{});
  }
  if (n >= 2) {
    return same(0, std::uint16_t{}) && same(n - 2, std::uint16_t{});
  }
  return a[0] == b[0];
}

// Compares the pattern with candidate positions, sixteen at a time.
class Scanner {
 public:
  Scanner(const char* pattern, std::size_t length)
      : pattern_(pattern),
        length_(length),
        first_(_mm_set1_epi8(pattern[0])),
        second_(_mm_set1_epi8(pattern[length > 1 ? 1 : 0])),
        last_(_mm_set1_epi8(pattern[length - 1])) {}

  /// Bit i set: position block + i agrees with the pattern on its first, second and last byte.
  /// Covers kBlock positions; reads block[0] up to block[kBlock + length - 2].
  std::uint64_t Candidates(const char* block) const {
    return Candidates16(block) | Candidates16(block + 16) << 16 | Candidates16(block + 32) << 32 |
           Candidates16(block + 48) << 48;
  }

  /// Whether a candidate is a match: its bytes between the second and the last agree too.
  bool Matches(const char* candidate) const {
    return length_ <= 3 || SameBytes(candidate + 2, pattern_ + 2, length_ - 3);
  }

  /// The full comparison, for positions too near the end for a vector.
  bool MatchesAt(const char* candidate) const { return SameBytes(candidate, pattern_, length_); }

 private:
  std::uint64_t Candidates16(const char* block) const {
    const __m128i heads = Load(block);
    const __m128i seconds = Load(block + (length_ > 1 ? 1 : 0));
    const __m128i tails = Load(block + length_ - 1);
    return static_cast<unsigned>(_mm_movemask_epi8(
        _mm_and_si128(_mm_and_si128(_mm_cmpeq_epi8(heads, first_), _mm_cmpeq_epi8(tails, last_)),
                      _mm_cmpeq_epi8(seconds, second_))));
  }

  static __m128i Load(const char* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  }

  const char* pattern_;
  std::size_t length_;
  __m128i first_;
  __m128i second_;
  __m128i last_;
};

// Clears the candidate bits of positions before `next` in the block that starts at `block`.
std::uint64_t DropBefore(std::uint64_t candidates, const char* block, const char* next) {
  const std::ptrdiff_t skip = next - block;
  return skip <= 0 ? candidates : skip >= kBlock ? 0u : candidates & (~std::uint64_t{0} << skip);
}

}  // namespace

const char* FindFirstMatch(const char* from, const char* end, const char* pattern,
                           std::size_t length) {
  if (length == 1) {
    return static_cast<const char*>(std::memchr(from, static_cast<unsigned char>(pattern[0]),
                                                static_cast<std::size_t>(end - from)));
  }
  const Scanner scanner(pattern, length);
  for (; end - from >= kBlock; from += kBlock) {
    for (std::uint64_t candidates = scanner.Candidates(from); candidates != 0;
         candidates &= candidates - 1) {
      const char* candidate = from + std::countr_zero(candidates);
      if (scanner.Matches(candidate)) {
        return candidate;
      }
    }
  }
  for (; from < end; ++from) {
    if (scanner.MatchesAt(from)) {
      return from;
    }
  }
  return nullptr;
}

std::size_t CollectMatches(const char* text, const char* from, const char* end, const char* pattern,
                           std::size_t length, std::int32_t* out, std::size_t capacity,
                           const char** resume) {
  const Scanner scanner(pattern, length);
  std::size_t count = 0;
  const char* next = from;  // no match may start before this: matches never overlap
  auto take = [&](const char* match) {
    out[count++] = static_cast<std::int32_t>(match - text);
    next = match + length;
    return count == capacity;
  };
  for (const char* block = from; end - block >= kBlock; block += kBlock) {
    if (next > block + kBlock) {
      block = next - kBlock;  // the loop's step lands on `next`
      continue;
    }
    std::uint64_t candidates = DropBefore(scanner.Candidates(block), block, next);
    while (candidates != 0) {
      const char* candidate = block + std::countr_zero(candidates);
      if (!scanner.Matches(candidate)) {
        candidates &= candidates - 1;
        continue;
      }
      if (take(candidate)) {
        *resume = next;
        return count;
      }
      candidates = DropBefore(candidates, block, next);
    }
    from = block + kBlock;
  }
  for (const char* p = from > next ? from : next; p < end;) {
    if (scanner.MatchesAt(p)) {
      if (take(p)) {
        *resume = next;
        return count;
      }
      p = next;
    } else {
      ++p;
    }
  }
  *resume = nullptr;
  return count;
}

}  // namespace protowrap::detail::sse2
#endif

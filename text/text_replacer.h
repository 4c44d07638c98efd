// Literal, byte-exact search and replace-all over texts held in memory.
#pragma once

#include <cstddef>
#include <cstdint>

namespace protowrap {

/// Longest text the program handles: lengths are 32-bit signed and every text block needs one
/// more byte for its terminating NUL.
inline constexpr std::int32_t kMaxTextLength = INT32_MAX - 1;

/// What a replacement did. Only kReplaced hands back a new block; kUnchanged hands back the
/// input; the two failures hand back nullptr.
enum class ReplaceStatus {
  kReplaced,   ///< at least one match: the result is a new block owned by the caller
  kUnchanged,  ///< no match (or an empty pattern): the result is the input pointer itself
  kNoMemory,   ///< the position list or the result block could not be allocated
  kTooLong,    ///< the result would be longer than kMaxTextLength
};

/// Where a replacement's result blocks come from. A block must be one that std::free releases and
/// std::realloc resizes; nullptr means none could be had. The default source is std::malloc; the
/// rule table hands out the blocks that earlier rules superseded, and tests make it fail.
class BlockSource {
 public:
  virtual char* Get(std::size_t size) = 0;

 protected:
  ~BlockSource() = default;
};

/// Stateless search and replace over byte strings. Bytes are compared by value, case-sensitively;
/// no encoding or line ending is interpreted.
///
/// Matches are taken from left to right, each search resuming right behind the previous match,
/// so matches never overlap and text written by a replacement is never searched again:
///   ReplaceAll("aaaa", "aa", "b")   -> "bb"
///   ReplaceAll("aaa", "aa", "b")    -> "ba"
///   ReplaceAll("CG_X", "CG_", "M(CG_") -> "M(CG_X"   (no cascade)
///
/// New blocks come from the replacer's BlockSource (std::malloc unless another is given), hold
/// exactly the result plus one NUL, and are released by the caller with std::free. The input is
/// never written to or released.
class TextReplacer {
 public:
  TextReplacer() = default;
  /// A replacer whose result blocks come from `blocks` (which must outlive it).
  explicit TextReplacer(BlockSource& blocks) : blocks_(&blocks) {}

  /// Smallest p with start <= p <= textLength - patternLength where the pattern occurs in the
  /// text; -1 when there is none (also for a pattern longer than the text, an empty pattern, or a
  /// start past the last possible position). `start` is 0 or more.
  std::int32_t FindPattern(const char* text, std::int32_t textLength, const char* pattern,
                           std::int32_t patternLength, std::int32_t start) const;

  /// Replaces every match of the pattern in the counted text (which need not be terminated); the
  /// lengths are 0 or more, the pattern's at least 1 for a match.
  /// Returns the input pointer when nothing matched, a new terminated block when something did,
  /// and nullptr when memory ran out or the result would exceed kMaxTextLength. `status`, when
  /// given, says which; `resultLength`, when given, receives the length of the text returned.
  char* ReplaceInBuffer(const char* text, std::int32_t textLength, const char* pattern,
                        std::int32_t patternLength, const char* replacement,
                        std::int32_t replacementLength, ReplaceStatus* status = nullptr,
                        std::int32_t* resultLength = nullptr) const;

  /// ReplaceInBuffer on terminated strings (text and pattern not null): the text is seen only up
  /// to its first NUL, and a null replacement stands for the empty string. A new block therefore
  /// holds only the rewritten part before that NUL.
  char* ReplaceAll(const char* text, const char* pattern, const char* replacement,
                   ReplaceStatus* status = nullptr, std::int32_t* resultLength = nullptr) const;

 private:
  BlockSource* blocks_ = nullptr;  // nullptr: std::malloc
};

}  // namespace protowrap

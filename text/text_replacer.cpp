// Literal search and replace-all over texts in memory.
#include "text/text_replacer.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <cstring>

#include "text/match_scan.h"

namespace protowrap {

namespace {

void SetStatus(ReplaceStatus* status, ReplaceStatus value) {
  if (status != nullptr) {
    *status = value;
  }
}

// Length of a terminated string, or -1 when it is longer than kMaxTextLength.
std::int32_t TerminatedLength(const char* s) {
  const std::size_t length = std::strlen(s);
  return length > static_cast<std::size_t>(kMaxTextLength) ? -1 : static_cast<std::int32_t>(length);
}

// The match positions of one replacement, kept in a chain of chunks: appending never copies, and
// memory grows with the matches found rather than with the most that could exist (four bytes per
// text byte for a one-byte pattern). The chunks are released with the list.
class PositionList {
 public:
  /// `bound`: the most positions there can be; the first chunk is no larger.
  explicit PositionList(std::size_t bound) : firstCapacity_(std::min(bound, kChunkPositions)) {}
  ~PositionList() {
    while (head_ != nullptr) {
      Chunk* next = head_->next;
      std::free(head_);
      head_ = next;
    }
  }
  PositionList(const PositionList&) = delete;
  PositionList& operator=(const PositionList&) = delete;

  /// Room for more positions: sets `*space` to it and returns how many fit (at least one), or 0
  /// when memory for a new chunk cannot be had.
  std::size_t Reserve(std::int32_t** space) {
    if (tail_ == nullptr || tail_->used == tail_->capacity) {
      const std::size_t capacity = head_ == nullptr ? firstCapacity_ : kChunkPositions;
      auto* chunk =
          static_cast<Chunk*>(std::malloc(sizeof(Chunk) + capacity * sizeof(std::int32_t)));
      if (chunk == nullptr) {
        return 0;
      }
      *chunk = Chunk{nullptr, 0, capacity};
      (tail_ == nullptr ? head_ : tail_->next) = chunk;
      tail_ = chunk;
    }
    *space = Positions(tail_) + tail_->used;
    return tail_->capacity - tail_->used;
  }

  /// Keeps the first `stored` positions written to the space of the last Reserve.
  void Commit(std::size_t stored) {
    tail_->used += stored;
    count_ += stored;
  }

  std::size_t Count() const { return count_; }

  /// Calls visit(position) for every position, in the order appended.
  template <typename Visit>
  void ForEach(Visit visit) const {
    for (const Chunk* chunk = head_; chunk != nullptr; chunk = chunk->next) {
      const std::int32_t* positions = Positions(chunk);
      for (std::size_t i = 0; i < chunk->used; ++i) {
        visit(positions[i]);
      }
    }
  }

 private:
  static constexpr std::size_t kChunkPositions = 16384;  // 64 KiB: served from the heap

  struct Chunk {  // followed in memory by `capacity` positions
    Chunk* next;
    std::size_t used;
    std::size_t capacity;
  };

  static std::int32_t* Positions(Chunk* chunk) {
    return reinterpret_cast<std::int32_t*>(chunk + 1);
  }
  static const std::int32_t* Positions(const Chunk* chunk) {
    return reinterpret_cast<const std::int32_t*>(chunk + 1);
  }

  std::size_t firstCapacity_;
  Chunk* head_ = nullptr;
  Chunk* tail_ = nullptr;
  std::size_t count_ = 0;
};

// Copies n bytes from src to dst. Most runs between matches, and every replacement, are short:
// when both sides have 32 bytes to spare, a fixed-size copy (a few instructions, no library call)
// moves them, and the bytes written past n are overwritten by what follows.
inline void CopyShort(char* dst, const char* dstEnd, const char* src, const char* srcEnd,
                      std::size_t n) {
  constexpr std::size_t kBlock = 32;
  if (n <= kBlock && dstEnd - dst >= static_cast<std::ptrdiff_t>(kBlock) &&
      srcEnd - src >= static_cast<std::ptrdiff_t>(kBlock)) {
    std::memcpy(dst, src, kBlock);
  } else {
    std::memcpy(dst, src, n);
  }
}

}  // namespace

std::int32_t TextReplacer::FindPattern(const char* text, std::int32_t textLength,
                                       const char* pattern, std::int32_t patternLength,
                                       std::int32_t start) const {
  if (patternLength < 1 || textLength < patternLength) {
    return -1;
  }
  assert(start >= 0);
  const std::int32_t last = textLength - patternLength;  // last position a match can start at
  if (start > last) {
    return -1;
  }
  const char* match = detail::FindFirstMatch(text + start, text + last + 1, pattern,
                                             static_cast<std::size_t>(patternLength));
  return match == nullptr ? -1 : static_cast<std::int32_t>(match - text);
}

char* TextReplacer::ReplaceInBuffer(const char* text, std::int32_t textLength, const char* pattern,
                                    std::int32_t patternLength, const char* replacement,
                                    std::int32_t replacementLength, ReplaceStatus* status,
                                    std::int32_t* resultLength) const {
  // The caller learns "nothing replaced" from getting its own block back.
  char* const unchanged = const_cast<char*>(text);
  SetStatus(status, ReplaceStatus::kUnchanged);
  if (resultLength != nullptr) {
    *resultLength = textLength;
  }
  std::int32_t position = FindPattern(text, textLength, pattern, patternLength, 0);
  if (position < 0) {
    return unchanged;
  }
  assert(replacementLength >= 0);
  auto fail = [&](ReplaceStatus why) -> char* {
    SetStatus(status, why);
    return nullptr;
  };

  // Search pass: record every match, each search resuming right behind the previous match.
  PositionList positions(static_cast<std::size_t>(textLength / patternLength) + 1);
  const char* const end = text + (textLength - patternLength) + 1;  // past the last start
  for (const char* resume = text + position; resume != nullptr;) {
    std::int32_t* space = nullptr;
    const std::size_t room = positions.Reserve(&space);
    if (room == 0) {
      return fail(ReplaceStatus::kNoMemory);
    }
    positions.Commit(detail::CollectMatches(
        text, resume, end, pattern, static_cast<std::size_t>(patternLength), space, room, &resume));
  }

  const std::int64_t newLength = static_cast<std::int64_t>(textLength) -
                                 static_cast<std::int64_t>(positions.Count()) *
                                     (static_cast<std::int64_t>(patternLength) - replacementLength);
  if (newLength > kMaxTextLength) {
    return fail(ReplaceStatus::kTooLong);
  }
  const auto size = static_cast<std::size_t>(newLength) + 1;
  char* result = blocks_ != nullptr ? blocks_->Get(size) : static_cast<char*>(std::malloc(size));
  if (result == nullptr) {
    return fail(ReplaceStatus::kNoMemory);
  }

  // Copying pass: the run before each match, then the replacement, then the tail.
  char* cursor = result;
  std::size_t offset = 0;
  const auto patternSize = static_cast<std::size_t>(patternLength);
  const auto replacementSize = static_cast<std::size_t>(replacementLength);
  char* const resultEnd = result + size;
  const char* const textEnd = text + textLength;
  // The replacement, padded so that it can always be copied as one fixed-size block.
  char padded[32] = {};
  const bool pad = replacementSize <= sizeof padded;
  if (pad) {
    std::memcpy(padded, replacement, replacementSize);
  }
  const char* const replacementBytes = pad ? padded : replacement;
  const char* const replacementEnd = pad ? padded + sizeof padded : replacement + replacementSize;
  positions.ForEach([&](std::int32_t at) {
    const auto match = static_cast<std::size_t>(at);
    CopyShort(cursor, resultEnd, text + offset, textEnd, match - offset);
    cursor += match - offset;
    CopyShort(cursor, resultEnd, replacementBytes, replacementEnd, replacementSize);
    cursor += replacementSize;
    offset = match + patternSize;
  });
  const std::size_t tail = static_cast<std::size_t>(textLength) - offset;
  std::memcpy(cursor, text + offset, tail);
  cursor[tail] = '\0';
  SetStatus(status, ReplaceStatus::kReplaced);
  if (resultLength != nullptr) {
    *resultLength = static_cast<std::int32_t>(newLength);
  }
  return result;
}

char* TextReplacer::ReplaceAll(const char* text, const char* pattern, const char* replacement,
                               ReplaceStatus* status, std::int32_t* resultLength) const {
  assert(text != nullptr && pattern != nullptr);
  if (replacement == nullptr) {
    replacement = "";
  }
  const std::int32_t textLength = TerminatedLength(text);
  const std::int32_t patternLength = TerminatedLength(pattern);
  const std::int32_t replacementLength = TerminatedLength(replacement);
  if (textLength < 0 || patternLength < 0 || replacementLength < 0) {
    SetStatus(status, ReplaceStatus::kTooLong);
    return nullptr;
  }
  return ReplaceInBuffer(text, textLength, pattern, patternLength, replacement, replacementLength,
                         status, resultLength);
}

}  // namespace protowrap

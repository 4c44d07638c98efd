#include "text/text_replacer.h"

#include <cstdlib>
#include <cstring>

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

}  // namespace

std::int32_t TextReplacer::FindPattern(const char* text, std::int32_t textLength,
                                       const char* pattern, std::int32_t patternLength,
                                       std::int32_t start) const {
  if (patternLength < 1 || textLength < patternLength) {
    return -1;
  }
  if (start < 0) {
    start = 0;
  }
  const std::int32_t last = textLength - patternLength;  // last position a match can start at
  if (start > last) {
    return -1;
  }
  // Candidates are found with memchr on the first byte and filtered on the last byte before the
  // full comparison: a plain scan, no tables, linear for a fixed pattern.
  const unsigned char first = static_cast<unsigned char>(pattern[0]);
  const char lastByte = pattern[patternLength - 1];
  const std::size_t tailLength = static_cast<std::size_t>(patternLength) - 1;
  const char* candidate = text + start;
  const char* const end = text + last + 1;  // one past the last possible start
  while (candidate < end) {
    const void* hit = std::memchr(candidate, first, static_cast<std::size_t>(end - candidate));
    if (hit == nullptr) {
      return -1;
    }
    candidate = static_cast<const char*>(hit);
    if (candidate[tailLength] == lastByte &&
        std::memcmp(candidate + 1, pattern + 1, tailLength) == 0) {
      return static_cast<std::int32_t>(candidate - text);
    }
    ++candidate;
  }
  return -1;
}

char* TextReplacer::ReplaceInBuffer(const char* text, std::int32_t textLength, const char* pattern,
                                    std::int32_t patternLength, const char* replacement,
                                    std::int32_t replacementLength, ReplaceStatus* status) const {
  // The caller learns "nothing replaced" from getting its own block back.
  char* const unchanged = const_cast<char*>(text);
  SetStatus(status, ReplaceStatus::kUnchanged);
  std::int32_t position = FindPattern(text, textLength, pattern, patternLength, 0);
  if (position < 0) {
    return unchanged;
  }
  if (replacementLength < 0) {
    replacementLength = 0;
  }

  // Search pass: record every match. There cannot be more than textLength / patternLength.
  const std::size_t capacity = static_cast<std::size_t>(textLength / patternLength) + 1;
  auto* positions = static_cast<std::int32_t*>(std::malloc(capacity * sizeof(std::int32_t)));
  if (positions == nullptr) {
    SetStatus(status, ReplaceStatus::kNoMemory);
    return nullptr;
  }
  std::size_t count = 0;
  while (position >= 0) {
    positions[count++] = position;
    position = FindPattern(text, textLength, pattern, patternLength, position + patternLength);
  }

  const std::int64_t newLength = static_cast<std::int64_t>(textLength) -
                                 static_cast<std::int64_t>(count) *
                                     (static_cast<std::int64_t>(patternLength) - replacementLength);
  if (newLength > kMaxTextLength) {
    std::free(positions);
    SetStatus(status, ReplaceStatus::kTooLong);
    return nullptr;
  }
  auto* result = static_cast<char*>(std::malloc(static_cast<std::size_t>(newLength) + 1));
  if (result == nullptr) {
    std::free(positions);
    SetStatus(status, ReplaceStatus::kNoMemory);
    return nullptr;
  }

  // Copying pass: the run before each match, then the replacement, then the tail.
  char* cursor = result;
  std::size_t offset = 0;
  const auto patternSize = static_cast<std::size_t>(patternLength);
  const auto replacementSize = static_cast<std::size_t>(replacementLength);
  for (std::size_t j = 0; j < count; ++j) {
    const auto match = static_cast<std::size_t>(positions[j]);
    std::memcpy(cursor, text + offset, match - offset);
    cursor += match - offset;
    if (replacementSize != 0) {
      std::memcpy(cursor, replacement, replacementSize);
    }
    cursor += replacementSize;
    offset = match + patternSize;
  }
  const std::size_t tail = static_cast<std::size_t>(textLength) - offset;
  std::memcpy(cursor, text + offset, tail);
  cursor[tail] = '\0';
  std::free(positions);
  SetStatus(status, ReplaceStatus::kReplaced);
  return result;
}

char* TextReplacer::ReplaceAll(const char* text, const char* pattern, const char* replacement,
                               ReplaceStatus* status) const {
  if (replacement == nullptr) {
    replacement = "";
  }
  if (text == nullptr || pattern == nullptr) {
    SetStatus(status, ReplaceStatus::kUnchanged);
    return const_cast<char*>(text);
  }
  const std::int32_t textLength = TerminatedLength(text);
  const std::int32_t patternLength = TerminatedLength(pattern);
  const std::int32_t replacementLength = TerminatedLength(replacement);
  if (textLength < 0 || patternLength < 0 || replacementLength < 0) {
    SetStatus(status, ReplaceStatus::kTooLong);
    return nullptr;
  }
  return ReplaceInBuffer(text, textLength, pattern, patternLength, replacement, replacementLength,
                         status);
}

}  // namespace protowrap

// Maps offsets of a wrap header back to its header by replaying the rules on one line.
#include "check/position_map.h"

#include <cassert>
#include <cstring>
#include <string_view>

#include "check/lexer.h"

namespace protowrap::check {

namespace {

// The rule table fits the pipeline: a stage per rule, each holding back less than its pattern.
constexpr bool FitsThePipeline(const RewriteRule* rules) {
  std::size_t count = 0;
  for (; rules[count].pattern != nullptr; ++count) {
    if (std::string_view(rules[count].pattern).size() > PositionMap::kMaxPatternLength) {
      return false;
    }
  }
  return count <= PositionMap::kMaxRules;
}
static_assert(FitsThePipeline(kRewriteRules));

}  // namespace

PositionMap::PositionMap(const char* input, std::int32_t inputLength, const char* output,
                         std::int32_t outputLength, const RewriteRule* rules)
    : input_(input), inputLength_(inputLength), output_(output), outputLength_(outputLength) {
  for (const RewriteRule* rule = rules; rule->pattern != nullptr && stageCount_ < kMaxRules;
       ++rule) {
    Stage& stage = stages_[stageCount_++];
    stage.pattern = rule->pattern;
    stage.patternLength = static_cast<std::int32_t>(std::strlen(rule->pattern));
    assert(static_cast<std::size_t>(stage.patternLength) <= kMaxPatternLength);
    stage.replacement = rule->replacement != nullptr ? rule->replacement : "";
    stage.replacementLength = static_cast<std::int32_t>(std::strlen(stage.replacement));
  }
  outputEnd_ = FindLineEnd(output_, outputLength_, 0);
  if (input_ != nullptr) {
    inputEnd_ = FindLineEnd(input_, inputLength_, 0);
  }
}

void PositionMap::StartLine() {
  for (std::size_t s = 0; s < stageCount_; ++s) {
    stages_[s].pending = 0;
  }
  fed_ = 0;
  emitted_ = 0;
  matches_ = true;
}

void PositionMap::Locate(std::int32_t offset, std::int32_t* line, std::int32_t* column) {
  if (offset == lastOffset_) {
    *line = line_;
    *column = lastColumn_;
    return;
  }
  lastOffset_ = offset;
  Find(offset, line, column);
  lastColumn_ = *column;
}

std::int32_t PositionMap::InputOffset(std::int32_t offset) {
  std::int32_t line = 0;
  std::int32_t column = 0;
  Locate(offset, &line, &column);
  return column > 0 ? inputLine_ + column - 1 : -1;
}

void PositionMap::Find(std::int32_t offset, std::int32_t* line, std::int32_t* column) {
  while (offset > outputEnd_ && outputEnd_ < outputLength_) {
    outputLine_ = SkipLineEnd(output_, outputLength_, outputEnd_);
    outputEnd_ = FindLineEnd(output_, outputLength_, outputLine_);
    if (input_ != nullptr) {
      inputLine_ = SkipLineEnd(input_, inputLength_, inputEnd_);
      inputEnd_ = FindLineEnd(input_, inputLength_, inputLine_);
    }
    ++line_;
    StartLine();
  }
  *line = line_;
  *column = 0;
  if (input_ == nullptr) {
    return;
  }
  const std::int32_t inputLineLength = inputEnd_ - inputLine_;
  const std::int32_t target = offset - outputLine_;
  while (emitted_ <= target && matches_ && fed_ <= inputLineLength) {
    if (fed_ < inputLineLength) {
      Push(0, input_[inputLine_ + fed_], fed_);
      ++fed_;
    } else {
      ++fed_;  // the line's end: what the stages still hold comes out
      Flush(0);
    }
  }
  if (emitted_ > target && emitted_ - target <= kHistory) {
    *column = history_[target % kHistory] + 1;
  } else if (matches_ && emitted_ == outputEnd_ - outputLine_ && target >= emitted_) {
    *column = inputLineLength + 1;  // the end of the line
  }
}

// Stage `s` takes one byte. It holds back bytes while they may begin its pattern, passes on the
// rest, and passes on its replacement for a whole match: leftmost matches, never overlapping,
// as the replacer finds them.
void PositionMap::Push(std::size_t s, char c, std::int32_t origin) {
  if (s == stageCount_) {
    Emit(c, origin);
    return;
  }
  Stage& stage = stages_[s];
  if (stage.pending == 0 && c != stage.pattern[0]) {
    Push(s + 1, c, origin);
    return;
  }
  stage.bytes[stage.pending] = c;
  stage.origins[stage.pending] = origin;
  ++stage.pending;
  for (;;) {
    // The bytes held (none at all, too) begin a match: they wait for the rest, or are replaced.
    if (std::memcmp(stage.bytes, stage.pattern, static_cast<std::size_t>(stage.pending)) == 0) {
      if (stage.pending == stage.patternLength) {
        const std::int32_t from = stage.origins[0];
        stage.pending = 0;
        for (std::int32_t i = 0; i < stage.replacementLength; ++i) {
          Push(s + 1, stage.replacement[i], from);
        }
      }
      return;
    }
    // The oldest byte begins no match: it goes on, and the rest are tried again.
    const char first = stage.bytes[0];
    const std::int32_t firstOrigin = stage.origins[0];
    --stage.pending;
    std::memmove(stage.bytes, stage.bytes + 1, static_cast<std::size_t>(stage.pending));
    std::memmove(stage.origins, stage.origins + 1,
                 static_cast<std::size_t>(stage.pending) * sizeof stage.origins[0]);
    Push(s + 1, first, firstOrigin);
  }
}

// The line ended: stage `s` passes on what it held, then the stages after it do the same.
void PositionMap::Flush(std::size_t s) {
  if (s == stageCount_) {
    return;
  }
  Stage& stage = stages_[s];
  const std::int32_t held = stage.pending;
  stage.pending = 0;
  for (std::int32_t i = 0; i < held; ++i) {
    Push(s + 1, stage.bytes[i], stage.origins[i]);
  }
  Flush(s + 1);
}

void PositionMap::Emit(char c, std::int32_t origin) {
  const std::int32_t at = outputLine_ + emitted_;
  if (!matches_ || at >= outputEnd_ || output_[at] != c) {
    matches_ = false;
    return;
  }
  history_[emitted_ % kHistory] = origin;
  ++emitted_;
}

}  // namespace protowrap::check

// Where the bytes of a wrap header came from: line and column in its input header.
#pragma once

#include <cstdint>

#include "wrap/rewrite_rules.h"

namespace protowrap::check {

/// Maps offsets of a wrap header to lines and columns of the header it was made from. Lines are
/// shared (no rule adds or removes a line end); a column is found by applying the rules to the
/// input's line again, as a pipeline of one stage per rule that tracks where each byte came from.
/// Bytes that a replacement wrote come from the start of its match.
///
/// Offsets must be asked for in increasing order. Time is linear in the two texts up to the last
/// offset asked for; memory is a few bytes per rule, whatever the length of a line.
class PositionMap {
 public:
  static constexpr std::size_t kMaxRules = 32;
  static constexpr std::size_t kMaxPatternLength = 64;  ///< a stage holds back less than this

  /// `input` may be null: every column is then 0. `rules` is a table closed by a null pattern,
  /// of at most kMaxRules rules whose patterns are at most kMaxPatternLength bytes long (the rule
  /// table is, at compile time). Allocates nothing.
  PositionMap(const char* input, std::int32_t inputLength, const char* output,
              std::int32_t outputLength, const RewriteRule* rules = kRewriteRules);

  /// The 1-based line of `offset`, and the 1-based column in the input of the byte there (0 when
  /// unknown: no input, or an input whose line, rewritten, does not give the output's line).
  void Locate(std::int32_t offset, std::int32_t* line, std::int32_t* column);

  /// The offset in the input of the byte at `offset` of the output (asked for in increasing order,
  /// as Locate), or -1 when unknown.
  std::int32_t InputOffset(std::int32_t offset);

 private:
  struct Stage {
    const char* pattern;
    std::int32_t patternLength;
    const char* replacement;
    std::int32_t replacementLength;
    std::int32_t pending = 0;  ///< bytes held back while they may begin a match
    char bytes[kMaxPatternLength] = {};
    std::int32_t origins[kMaxPatternLength] = {};
  };

  void Find(std::int32_t offset, std::int32_t* line, std::int32_t* column);
  void StartLine();
  void Push(std::size_t stage, char c, std::int32_t origin);
  void Flush(std::size_t stage);
  void Emit(char c, std::int32_t origin);

  const char* input_;
  std::int32_t inputLength_;
  const char* output_;
  std::int32_t outputLength_;
  Stage stages_[kMaxRules];
  std::size_t stageCount_ = 0;

  std::int32_t line_ = 1;
  std::int32_t outputLine_ = 0;  ///< where the current line starts in the output
  std::int32_t outputEnd_ = 0;   ///< and where it ends
  std::int32_t inputLine_ = 0;   ///< the same in the input
  std::int32_t inputEnd_ = 0;
  std::int32_t fed_ = 0;      ///< input bytes of the line pushed into the pipeline
  std::int32_t emitted_ = 0;  ///< output bytes of the line that came out of it
  bool matches_ = true;       ///< whether what came out is the output's line so far
  /// Where the last bytes that came out came from, by their offset in the line modulo the size:
  /// one input byte can push out many (the stages let go of what they held), past the place
  /// asked for.
  static constexpr std::int32_t kHistory = 8192;
  std::int32_t history_[kHistory] = {};
  std::int32_t lastOffset_ = -1;  ///< the offset asked for last, and its column
  std::int32_t lastColumn_ = 0;
};

}  // namespace protowrap::check

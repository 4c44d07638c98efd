// Conditional compilation in a wrap header: which enumerators its tables name in every
// configuration, although the header declares them only where a condition holds.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "wrap/check/problem_sink.h"

namespace protowrap::check {

/// Follows the directives that the rules commented out ("//#if ...", "//#else", "//#endif") and
/// the entries between them. The wrap header names every entry unconditionally, so an entry is
/// safe only when every way through the conditional blocks around it declares its name: a name
/// declared in every branch of an #if ... #else ... #endif is; a name inside #ifdef _DEBUG, #if 0
/// or an #if without #else is not. An include guard (#ifndef X / #define X) holds whenever the
/// header was included, and so do #if 1 and #ifdef __cplusplus: they make nothing conditional.
///
/// Reports kConditional once per branch, at its first entry that is not safe. Memory holds the
/// entries of the open blocks only.
class ConditionalBlocks {
 public:
  explicit ConditionalBlocks(ProblemSink& sink) : sink_(sink) {}

  /// A directive the rules commented out: the text of the comment, from its "//#".
  void Directive(std::string_view text, std::int32_t offset);

  /// Whether an entry now stands inside a block that can make it conditional (cheap).
  bool Conditional() const { return open_ > 0; }

  /// An entry of a table that names `name`, at `offset` (a view into the wrap header, which must
  /// outlive this object).
  void Entry(std::string_view name, std::int32_t offset);

  /// The end of the text: blocks left open are closed.
  void Finish();

 private:
  enum class Truth : std::uint8_t { kUnknown, kTrue, kFalse };

  struct Named {
    std::string_view name;
    std::int32_t offset;
    std::int32_t branch;  ///< index into branches_
  };

  struct Block {
    std::size_t firstBranch;  ///< into branches_
    std::size_t firstEntry;   ///< into entries_
    std::string_view guard;  ///< #ifndef X: X, until the next directive shows whether it is a guard
    bool transparent;        ///< an include guard, #if 1, #ifdef __cplusplus: not conditional
  };

  void Open(Truth truth, std::string_view guard);
  void Branch(Truth truth);
  void Close();

  ProblemSink& sink_;
  std::vector<Block> blocks_;
  std::vector<Truth> branches_;
  std::vector<Named> entries_;
  std::int32_t open_ = 0;  ///< open blocks that are not transparent
};

}  // namespace protowrap::check

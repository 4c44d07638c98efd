// The macros that a header and its includes define and undefine, in each build configuration, each
// definition read once, when its #define is met.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "check/build_configuration.h"
#include "check/hash_probe.h"

namespace protowrap::check {

/// A macro's definition, as its #define wrote it in the header (or an include).
struct MacroDefinition {
  std::string_view body;         ///< its replacement: line splices removed, blanks trimmed
  std::uint16_t parameters = 0;  ///< its named parameters (at most 65535 are counted)
  bool function = false;         ///< function-like: NAME( right after the name
  bool variadic = false;         ///< its parameters end in "..."
};

/// For each name that a #define or #undef named: where, in each configuration, its definition
/// stands, or that it is undefined, or unknown (defined where a condition is unknown), or
/// untouched there. Names the table does not hold, and untouched ones, keep the meaning they had
/// before the header (see MacroScope).
///
/// A definition is read once, when it is stored: every later lookup costs only the name. Memory
/// (slots, names and definitions) stays below `limit`: past that, the table holds nothing new, and
/// says so (Full), so that a name it could not take is unknown rather than undefined.
class MacroTable {
 public:
  static constexpr std::int32_t kUndefined = -1;
  static constexpr std::int32_t kUnknown = -2;
  static constexpr std::int32_t kNotSeen = -3;  ///< untouched here: the meaning from before
  /// The most definitions: each is a state, a non-negative int32_t, and this leaves room below.
  static constexpr std::size_t kMaxDefinitions = 0x7FFFFFF0;

  /// `limit`: the most bytes the table may hold; `configurations`: how many are in use (a name
  /// keeps a state for each).
  MacroTable(std::size_t limit, int configurations)
      : stride_(static_cast<std::size_t>(configurations)), limit_(limit) {}

  /// Reads a #define's operand (`text`: the name, its parameters and its replacement, as the
  /// header wrote them) into a definition: its name in `*name` (a view of the stored copy) and
  /// its state for Set, or kUnknown when the table is full or the operand names nothing.
  std::int32_t Define(std::string_view text, std::string_view* name);

  /// Sets `name`'s state to `state` (a definition, kUndefined or kUnknown) where `holds`, and to
  /// kUnknown where the directive may apply (`mayHold`) but is not known to.
  void Set(std::string_view name, std::int32_t state, ConfigurationSet holds,
           ConfigurationSet mayHold);

  /// The states of `name` by configuration (as many as are in use), or null when the table does
  /// not hold it.
  const std::int32_t* Find(std::string_view name) const;

  /// The definition of a state that is one.
  const MacroDefinition& Definition(std::int32_t state) const {
    return definitions_[static_cast<std::size_t>(state)];
  }

  /// Whether names or definitions were turned away for want of room.
  bool Full() const { return full_; }

 private:
  struct Slot {
    const char* name = nullptr;  // null: an empty slot
    std::uint32_t length = 0;
    std::uint32_t states = 0;  // the name's number, which finds its states
  };

  std::size_t Probe(std::string_view name, std::uint64_t hash) const;
  bool Grow();
  std::string_view Keep(std::string_view text);
  std::int32_t* StatesOf(std::uint32_t name) const {
    return states_[name / kNamesPerBlock].get() + (name % kNamesPerBlock) * stride_;
  }

  std::vector<Slot> slots_;
  // The states, stride_ per name, 1024 names to a block: never copied as they grow.
  std::vector<std::unique_ptr<std::int32_t[]>> states_;
  static constexpr std::uint32_t kNamesPerBlock = 1024;
  std::size_t stride_;
  std::size_t used_ = 0;
  std::deque<MacroDefinition> definitions_;  // in blocks: never copied as they grow
  // The names and definitions' texts, in blocks that never move.
  std::vector<std::unique_ptr<char[]>> blocks_;
  char* blockEnd_ = nullptr;
  std::size_t blockLeft_ = 0;
  std::size_t bytes_ = 0;  // all the table holds
  std::size_t limit_;
  bool full_ = false;
};

}  // namespace protowrap::check

// The problems the header check knows, as data: each one's code, what goes wrong in the wrap
// header, how to write the header's line instead, and what the check must have seen to say so.
#pragma once

#include <cstdint>

namespace protowrap::check {

/// What a header does that the rules turn into something that no longer compiles. The numbers
/// are the codes of the warnings (PW001 ...), stable from release to release.
/// Every code a problem may have: one byte's worth, PW000 to PW255.
inline constexpr int kProblemCodes = 256;

enum class HeaderProblem : std::uint8_t {
  kMissingComma = 1,          ///< an enumerator without a comma after it
  kUnderlyingType = 2,        ///< enum eCG_X_PROTOCOL : unsigned short
  kScopedEnum = 3,            ///< enum class / enum struct with a body
  kNoArray = 4,               ///< a table name that gets no "[] ="
  kValueNamesEnumerator = 5,  ///< CG_B = CG_A + 1
  kProtocolInEnumerator = 6,  ///< CG_PROTOCOL_VERSION: a declarator inside the entry
  kNameGoesOn = 7,            ///< eCG_CATEGORY2, eCG_X_PROTOCOL_EX: text after the declarator
  kNoPrefix = 8,              ///< an enumerator without CG_ or CW_
  kIncludeRenamed = 9,        ///< an included file name the rules rewrite
  kDefinition = 10,           ///< a definition outside the protocol enumerations
  kTableTwice = 11,           ///< two tables of one name (conditional compilation)
  kTypedefEnum = 12,          ///< typedef enum eCG_X_PROTOCOL { ... } Name;
  kNoEPrefix = 14,            ///< enum CG_X_PROTOCOL: no 'e' before the family
  kStrayEnd = 15,             ///< a "};" that closes no enumeration
  kCommaInValue = 16,         ///< CG_A = F(1, 2): the value's comma closes the entry early
  kConditional = 17,          ///< an enumerator that exists only where a condition holds
  kValueTooLarge = 18,        ///< a value outside int: 0x80000000, 1LL << 40
  kEnumSpacing = 19,          ///< "enum\teCG_X": not one blank between enum and the name
  kNulByte = 20,              ///< a NUL byte, where the wrap header ends
  kClientMacro = 21,          ///< the header defines or undefines MAKE_PROTOCOL_INFO ...
  kExposedComment = 22,       ///< a block comment opened on a preprocessor line
  kCommentEndedEarly = 23,    ///< "*#" in a block comment: the rules' "*//#" ends the comment
  kNoClosingEntry = 24,       ///< a table without MAKE_PROTOCOL_INFO_EOR: "} ;" (compiles)
  kListedTwice = 25,          ///< an enumerator of two branches, listed twice (compiles)
  kUtf16 = 26,                ///< a UTF-16 header, which the rules (8-bit text) do not match
  kOther = 99,                ///< any other text that leaves no valid table
  kNotChecked = 100,          ///< the check itself could not run (out of memory)
};

/// One problem as the warnings and the documentation give it.
struct ProblemText {
  HeaderProblem problem;
  const char* what;     ///< what goes wrong in the wrap header (the warning's first half)
  const char* instead;  ///< how to write the header instead (its second half)
  /// What the check must have seen to print it: a warning says the wrap header fails to compile
  /// in a configuration in which the header compiles, so it needs proof, not suspicion.
  const char* seen;
  /// Which of the client's definitions the proof reads (ClientName bits), which a header that
  /// defines or undefines them itself replaces.
  std::uint8_t reads;
};

/// The names a client defines for the wrap header, as bits.
enum ClientName : std::uint8_t {
  kNoClientName = 0,
  kEntryName = 1,  ///< MAKE_PROTOCOL_INFO
  kEndName = 2,    ///< MAKE_PROTOCOL_INFO_EOR
  kTableName = 4,  ///< PROTOCOL_STRUCT
};

/// The text of `problem`.
const ProblemText& DescribeProblem(HeaderProblem problem);

}  // namespace protowrap::check

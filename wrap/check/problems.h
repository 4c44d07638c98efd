// The problems the header check knows, as data: each one's code, what goes wrong in the wrap
// header, and how to write the header's line instead.
#pragma once

#include <cstdint>

namespace protowrap::check {

/// What a header does that the rules turn into something that no longer compiles. The numbers
/// are the codes of the warnings (PW001 ...), stable from release to release.
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
  kOther = 99,                ///< any other text that is not part of a table
  kNotChecked = 100,          ///< the check itself could not run (out of memory)
};

/// One problem's text, in two halves that a warning joins with "; ".
struct ProblemText {
  HeaderProblem problem;
  const char* what;     ///< what goes wrong in the wrap header
  const char* instead;  ///< how to write the header instead
};

/// The text of `problem`.
const ProblemText& DescribeProblem(HeaderProblem problem);

}  // namespace protowrap::check

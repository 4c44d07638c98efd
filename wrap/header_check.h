// Checks a wrap header for what will not compile, and says where its input header does not fit
// the rules.
#pragma once

#include <cstdint>

namespace protowrap {

/// What a header does that the rules turn into something that no longer compiles. The numbers
/// are the codes of the warnings (PW001 ...), stable from release to release.
enum class HeaderProblem {
  kMissingComma = 1,          ///< an enumerator without a comma after it
  kUnderlyingType = 2,        ///< enum eCG_X_PROTOCOL : unsigned short
  kScopedEnum = 3,            ///< enum class / enum struct
  kNoArray = 4,               ///< an enumeration whose name neither ends in _PROTOCOL nor
                              ///< is the category's: no "[] =" for its table
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
  kOther = 99,                ///< any other text that is not part of a table
};

/// One warning: where in the input header (1-based line and byte column), and why.
struct HeaderWarning {
  std::int32_t line;
  std::int32_t column;  ///< 0 when unknown (no input given, or it no longer gives the output)
  HeaderProblem problem;
  const char* message;  ///< what will go wrong, and how to write the line instead
};

/// Receives the warnings of CheckWrapHeader, in order of position.
using HeaderWarningSink = void (*)(void* context, const HeaderWarning& warning);

/// Reads the wrap header `output` (outputLength bytes, followed by a NUL) the way a C++ compiler
/// that includes it after its input header would, with the definitions of PROTOCOL_STRUCT,
/// MAKE_PROTOCOL_INFO and MAKE_PROTOCOL_INFO_EOR that the README documents, and reports one
/// warning per cause of a compile error to `sink` (when given). Returns the number of warnings.
/// Lines are the output's, which are the input's: the rules add and remove no line end.
///
/// Columns point into the input header, which only `input` (inputLength bytes: the text the rules
/// saw) can tell; without it they are 0. The check needs nothing else of the input, so a caller
/// can count warnings first and fetch the input only when there are some.
///
/// Reads nothing outside the two texts, changes neither, and throws nothing.
std::int32_t CheckWrapHeader(const char* output, std::int32_t outputLength, const char* input,
                             std::int32_t inputLength, HeaderWarningSink sink, void* context);

/// The text of a problem's warning.
const char* HeaderProblemMessage(HeaderProblem problem);

}  // namespace protowrap

#include "wrap/check/problems.h"

namespace protowrap::check {

namespace {

constexpr ProblemText kProblems[] = {
    {HeaderProblem::kMissingComma,
     "the enumerator has no comma after it, so its MAKE_PROTOCOL_INFO( entry is never closed",
     "put a comma after every enumerator, the last one too"},
    {HeaderProblem::kUnderlyingType,
     "the enumeration has an underlying type, which stays between the table's '=' and its '{'",
     "remove the ': type'"},
    {HeaderProblem::kScopedEnum,
     "a scoped enumeration (enum class or enum struct) is not turned into a table",
     "write 'enum eCG_..._PROTOCOL' without 'class'"},
    {HeaderProblem::kNoArray,
     "the enumeration's name neither ends in _PROTOCOL nor is eCG_CATEGORY or eCW_CATEGORY, so "
     "its table gets no '[] ='",
     "end the name with _PROTOCOL"},
    {HeaderProblem::kValueNamesEnumerator,
     "the value names a CG_ or CW_ enumerator, which gets a MAKE_PROTOCOL_INFO( of its own that "
     "leaves this entry open",
     "write the value as a number"},
    {HeaderProblem::kProtocolInEnumerator,
     "the enumerator's name contains _PROTOCOL, which becomes '_PROTOCOL[] = ' inside its entry",
     "rename it without _PROTOCOL"},
    {HeaderProblem::kNameGoesOn,
     "the enumeration's name goes on after _PROTOCOL or _CATEGORY (only _PACK may follow "
     "_CATEGORY), so the table's '[] =' lands inside the name",
     "end the name there"},
    {HeaderProblem::kNoPrefix,
     "the enumerator does not begin with CG_ or CW_, so it gets no MAKE_PROTOCOL_INFO( entry and "
     "its comma becomes a stray ')'",
     "give it the family's prefix"},
    {HeaderProblem::kIncludeRenamed,
     "the included file's name contains CG_, CW_, _PROTOCOL, ',' , '=' or '#', which the rules "
     "rewrite, so the wrap header includes a file that does not exist",
     "rename the file"},
    {HeaderProblem::kDefinition,
     "the wrap header repeats this declaration after the header, with its ',' '=' and '};' "
     "rewritten, so it is defined twice or is no longer C++",
     "move it to another header"},
    {HeaderProblem::kTableTwice,
     "a second table of this name: preprocessor conditionals (#if, #ifdef, #else) are commented "
     "out in the wrap header, so every branch stays",
     "declare each protocol enumeration once"},
    {HeaderProblem::kTypedefEnum,
     "a typedef of a protocol enumeration becomes a typedef of a table",
     "write 'enum eCG_..._PROTOCOL { ... };' without typedef"},
    {HeaderProblem::kNoEPrefix,
     "the enumeration's name does not begin with 'e' before CG_ or CW_, so it is not turned into "
     "a table",
     "name it eCG_..._PROTOCOL"},
    {HeaderProblem::kStrayEnd,
     "this '};' closes no enumeration, yet it becomes 'MAKE_PROTOCOL_INFO_EOR() };'",
     "write '}' without the ';' (after a namespace) or move the declaration to another header"},
    {HeaderProblem::kCommaInValue,
     "the value holds a comma, which becomes '), ' and closes the entry early",
     "write the value without a comma"},
    {HeaderProblem::kConditional,
     "the enumerator is inside #if, #ifdef or #else, which the wrap header comments out, so its "
     "table names the enumerator wherever the header is compiled, also where the condition does "
     "not hold",
     "declare protocol enumerators outside conditional blocks (an include guard is fine)"},
    {HeaderProblem::kValueTooLarge,
     "the value does not fit in an int, so the table's int cannot hold it (a narrowing "
     "conversion, which compilers reject in a table)",
     "keep protocol values between -2147483648 and 2147483647"},
    {HeaderProblem::kEnumSpacing,
     "'enum' and the enumeration's name stand apart by something else than one blank, so the "
     "rules, which look for 'enum e', do not turn it into a table",
     "write 'enum eCG_..._PROTOCOL' with one blank between the two"},
    {HeaderProblem::kOther,
     "this text does not fit the rules and leaves the wrap header without a valid table",
     "keep only protocol enumerations, comments and includes in the header"},
    {HeaderProblem::kNotChecked,
     "the header check could not run (out of memory), so this header was not checked",
     "its wrap header was written as always; run protowrap again with more memory to check it"},
};

}  // namespace

const ProblemText& DescribeProblem(HeaderProblem problem) {
  for (const ProblemText& text : kProblems) {
    if (text.problem == problem) {
      return text;
    }
  }
  return kProblems[sizeof kProblems / sizeof kProblems[0] - 2];  // kOther
}

}  // namespace protowrap::check

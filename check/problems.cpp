// The table of the problems the check knows.
#include "check/problems.h"

namespace protowrap::check {

namespace {

constexpr ProblemText kProblems[] = {
    {HeaderProblem::kMissingComma,
     "the enumerator has no comma after it, so its MAKE_PROTOCOL_INFO( entry is never closed",
     "put a comma after every enumerator, the last one too",
     "an entry's macro invocation that does not close before the next entry, the table's end or "
     "the end of the header, or that closes with more than the name in its first argument",
     kNoClientName},
    {HeaderProblem::kUnderlyingType,
     "the enumeration has an underlying type, which stays between the table's '=' and its '{'",
     "remove the ': type'", "a ':' between a table's '[] =' (or its name) and its '{'",
     kNoClientName},
    {HeaderProblem::kScopedEnum,
     "a scoped enumeration (enum class or enum struct) is not turned into a table",
     "write 'enum eCG_..._PROTOCOL' without 'class'",
     "'enum class' or 'enum struct' with a body and a name that the rules rewrote", kNoClientName},
    {HeaderProblem::kNoArray,
     "the enumeration's name neither ends in _PROTOCOL nor is eCG_CATEGORY or eCW_CATEGORY, so "
     "its table gets no '[] ='",
     "end the name with _PROTOCOL",
     "a table without '[] =' whose list holds an entry, or an enumeration without a name whose "
     "first enumerator became an entry",
     kTableName},
    {HeaderProblem::kValueNamesEnumerator,
     "the value names a CG_ or CW_ enumerator, which gets a MAKE_PROTOCOL_INFO( of its own that "
     "leaves this entry open",
     "write the value as a number",
     "an entry whose invocation never closes, with another entry's macro in its value on the "
     "same line",
     kNoClientName},
    {HeaderProblem::kProtocolInEnumerator,
     "the enumerator's name contains _PROTOCOL, which becomes '_PROTOCOL[] = ' inside its entry",
     "rename it without _PROTOCOL", "'[] =' inside an entry's first argument", kEntryName},
    {HeaderProblem::kNameGoesOn,
     "the enumeration's name goes on after _PROTOCOL or _CATEGORY (only _PACK may follow "
     "_CATEGORY), so the table's '[] =' lands inside the name",
     "end the name there", "a name or a number between a table's '[] =' and its '{'",
     kNoClientName},
    {HeaderProblem::kNoPrefix,
     "the enumerator does not begin with CG_ or CW_, so it gets no MAKE_PROTOCOL_INFO( entry and "
     "its comma becomes a stray ')'",
     "give it the family's prefix",
     "a name in a table's list outside any entry (its ')' or the next entry follows it)",
     kNoClientName},
    {HeaderProblem::kIncludeRenamed,
     "the included file's name contains CG_, CW_, _PROTOCOL, ',' , '=' or '#', which the rules "
     "rewrite, so the wrap header includes a file that does not exist",
     "rename the file",
     "an include whose file name holds what only the rules write, or whose macro's name they "
     "split",
     kNoClientName},
    {HeaderProblem::kDefinition,
     "the wrap header repeats this declaration after the header, with what the rules rewrote in "
     "it (',' '=' '};' CG_ CW_ _PROTOCOL), so it is defined twice or is no longer C++",
     "move it to another header",
     "a declaration outside the tables that holds a ',' or '=' the rules rewrote, a '(' they "
     "opened that no ')' closes before its ';', or a '[] =' with nothing after it, or that "
     "defines something (a body, or a variable without extern) where a configuration compiles "
     "it",
     kNoClientName},
    {HeaderProblem::kTableTwice,
     "a second table of this name: preprocessor conditionals (#if, #ifdef, #else) are commented "
     "out in the wrap header, so every branch stays",
     "declare each protocol enumeration once", "two tables of one name in one namespace",
     kNoClientName},
    {HeaderProblem::kTypedefEnum,
     "a typedef of a protocol enumeration becomes a typedef of a table",
     "write 'enum eCG_..._PROTOCOL { ... };' without typedef", "'typedef' before a table",
     kNoClientName},
    {HeaderProblem::kNoEPrefix,
     "the enumeration's name does not begin with 'e' before CG_ or CW_, so it is not turned into "
     "a table",
     "name it eCG_..._PROTOCOL", "'enum' followed by an entry's macro", kNoClientName},
    {HeaderProblem::kStrayEnd,
     "this '};' closes no enumeration, yet it becomes 'MAKE_PROTOCOL_INFO_EOR() };'",
     "write '}' without the ';' (after a namespace) or move the declaration to another header",
     "MAKE_PROTOCOL_INFO_EOR outside a table", kEndName},
    {HeaderProblem::kCommaInValue,
     "the value holds a comma, which becomes '), ' and closes the entry early",
     "write the value without a comma",
     "an entry whose invocation closes inside its value, with a ')' left over after it",
     kNoClientName},
    {HeaderProblem::kConditional,
     "the enumerator is inside #if, #ifdef or #else, which the wrap header comments out, so its "
     "table names the enumerator wherever the header is compiled, also where the condition does "
     "not hold",
     "declare protocol enumerators outside conditional blocks (an include guard is fine)",
     "a configuration that compiles the header but none of its declarations of the name that the "
     "table sees (in its own namespace, one around it or one that these use), by the header's "
     "own conditions, macros and #errors",
     kEntryName},
    {HeaderProblem::kValueTooLarge,
     "the value does not fit in an int, so the table's int cannot hold it (a narrowing "
     "conversion, which compilers reject in a table)",
     "keep protocol values between -2147483648 and 2147483647",
     "a configuration that compiles the enumerator with a value, computed as the compiler "
     "computes it, outside int",
     kEntryName},
    {HeaderProblem::kEnumSpacing,
     "'enum' and the enumeration's name stand apart by something else than one blank, so the "
     "rules, which look for 'enum e', do not turn it into a table",
     "write 'enum eCG_..._PROTOCOL' with one blank between the two",
     "'enum' followed by a name that the rules made 'eMAKE_PROTOCOL_INFO'", kNoClientName},
    {HeaderProblem::kNulByte,
     "the wrap header ends at a NUL byte of the header (the compilers read the header on), "
     "which leaves this table, declaration or comment unfinished",
     "remove the NUL byte",
     "a NUL byte in the header, and a wrap header that ends inside a table, an entry, a "
     "declaration, a comment or a namespace",
     kNoClientName},
    {HeaderProblem::kClientMacro,
     "the header defines or undefines MAKE_PROTOCOL_INFO, MAKE_PROTOCOL_INFO_EOR or "
     "PROTOCOL_STRUCT, which the wrap header's tables use as the client defines them",
     "leave these names to the code that includes the wrap header",
     "an #undef of one of them, or a #define whose parameters its uses do not fit, in a "
     "configuration that compiles the header",
     kNoClientName},
    {HeaderProblem::kExposedComment,
     "a block comment opens on a preprocessor line and closes on a later one; the wrap header "
     "comments that line out, so the comment's other lines become code",
     "close the comment on the line that opens it, or use // comments",
     "a '/*' left open on a preprocessor line that the rules comment out, and its '*/' read as "
     "code",
     kNoClientName},
    {HeaderProblem::kCommentEndedEarly,
     "a '#' right after '*' in a block comment becomes '*//#', whose '*/' ends the comment there, "
     "so the rest of the comment is read as code",
     "put a blank between the '*' and the '#', or use // comments",
     "a block comment that ends at a '*/' the rules wrote (a '*' and the '//' put before a '#'), "
     "with the rest of the header's comment read as code",
     kNoClientName},
    {HeaderProblem::kNoClosingEntry,
     "the table gets no closing MAKE_PROTOCOL_INFO_EOR() entry, since its enumeration does not end "
     "in '};': it compiles, but a client that looks for the closing entry reads past the table, "
     "and one that leaves out the last entry drops an enumerator",
     "end the enumeration with '};', the two characters together",
     "a table whose '}' no MAKE_PROTOCOL_INFO_EOR() comes before", kNoClientName},
    {HeaderProblem::kListedTwice,
     "the enumerator is declared in two branches of a conditional, which the wrap header keeps "
     "both of, so the table lists it twice: it compiles, but with one entry too many and a "
     "repeated code",
     "declare the enumerator once, outside the conditional", "two entries of one name in a table",
     kNoClientName},
    {HeaderProblem::kUtf16,
     "the header is UTF-16, while the rules match 8-bit text, so its wrap header holds no table",
     "save the header as UTF-8",
     "a UTF-16 byte-order mark at the header's start, or a NUL byte in every other place of its "
     "beginning",
     kNoClientName},
    {HeaderProblem::kOther,
     "this text does not fit the rules and leaves the wrap header without a valid table",
     "keep only protocol enumerations, comments and includes in the header",
     "a token that no C++ allows where it stands: a ')' without its '(', or more than a name "
     "in an entry's first argument, or text between a table's '=' and its '{'",
     kNoClientName},
    {HeaderProblem::kNotChecked,
     "the header check could not run (out of memory), so this header was not checked",
     "its wrap header was written as always; run protowrap again with more memory to check it",
     "no memory for its bookkeeping", kNoClientName},
};

}  // namespace

const ProblemText& DescribeProblem(HeaderProblem problem) {
  const ProblemText* other = nullptr;
  for (const ProblemText& text : kProblems) {
    if (text.problem == problem) {
      return text;
    }
    other = text.problem == HeaderProblem::kOther ? &text : other;
  }
  return *other;  // the table holds kOther
}

}  // namespace protowrap::check

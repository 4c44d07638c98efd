// The fixed table of rewrite rules that turns protocol enumerations into PROTOCOL_STRUCT arrays.
#pragma once

#include <iterator>
#include <string_view>

#include "text/text_replacer.h"

namespace protowrap {

/// One literal search-and-replace step. The pattern is never empty; a null replacement stands
/// for the empty string.
struct RewriteRule {
  const char* pattern;
  const char* replacement;
};

/// The names that the rules write into a wrap header, and that a build including it defines: the
/// type of a table, the macro of an entry and that of the entry closing a table.
inline constexpr std::string_view kTableType = "PROTOCOL_STRUCT";
inline constexpr std::string_view kEntryMacro = "MAKE_PROTOCOL_INFO";
inline constexpr std::string_view kEndMacro = "MAKE_PROTOCOL_INFO_EOR";

/// The whole conversion, in order of application, closed by an entry with a null pattern. Each
/// rule runs on the output of all earlier rules (it is not a one-pass multi-replace), and both
/// families get every rule. Later rules repair what earlier ones did, so the order matters:
/// rule 3 undoes rules 1 and 2 inside enumeration names, rule 14 undoes rule 7 inside the
/// MAKE_PROTOCOL_INFO( written by rules 1 and 2, rule 10 restores the includes that rule 9
/// commented out, and rule 13 moves the declarator of rules 11 and 12 behind a _PACK suffix.
inline constexpr RewriteRule kRewriteRules[] = {
    {"CG_", "MAKE_PROTOCOL_INFO(CG_"},
    {"CW_", "MAKE_PROTOCOL_INFO(CW_"},
    {"enum eMAKE_PROTOCOL_INFO(", "enum e"},
    {",", "), "},
    {"=", ","},
    {"enum e", "PROTOCOL_STRUCT s"},
    {"_PROTOCOL", "_PROTOCOL[] = "},
    {"};", "MAKE_PROTOCOL_INFO_EOR() };"},
    {"#", "//#"},
    {"//#include", "#include"},
    {"PROTOCOL_STRUCT sCG_CATEGORY", "PROTOCOL_STRUCT sCG_CATEGORY[] ="},
    {"PROTOCOL_STRUCT sCW_CATEGORY", "PROTOCOL_STRUCT sCW_CATEGORY[] ="},
    {"[] =_PACK", "_PACK[] ="},
    {"MAKE_PROTOCOL[] = _INFO(", "MAKE_PROTOCOL_INFO("},
    {nullptr, nullptr},
};

/// The rules by name, in the order of kRewriteRules.
enum class Rule : int {
  kOpenCgEntry,            ///< "CG_": an entry's macro opens before every CG_ name
  kOpenCwEntry,            ///< the same for CW_
  kUndoEntryInName,        ///< "enum eMAKE_PROTOCOL_INFO(": no entry inside an enumeration's name
  kCommaClosesEntry,       ///< ',': the entry before it closes
  kEqualsSeparatesValue,   ///< '=': the value becomes the entry's second argument
  kEnumBecomesTable,       ///< "enum e": the table's type and 's'
  kProtocolDeclarator,     ///< "_PROTOCOL": the table's "[] =" after every _PROTOCOL
  kCloseTable,             ///< "};": the closing entry before it
  kCommentDirective,       ///< '#': every directive commented out
  kRestoreInclude,         ///< "//#include": includes stay
  kCgCategoryDeclarator,   ///< the CG category table gets its "[] ="
  kCwCategoryDeclarator,   ///< the same for CW
  kPackDeclarator,         ///< "[] =_PACK": the declarator moves behind a _PACK suffix
  kUndoDeclaratorInEntry,  ///< "MAKE_PROTOCOL[] = _INFO(": no declarator inside an entry's macro
  kCount,
};
static_assert(static_cast<int>(Rule::kCount) + 1 == std::size(kRewriteRules),
              "one name per rule, and the closing entry");

/// A rule by its name.
constexpr const RewriteRule& RuleOf(Rule rule) {
  return kRewriteRules[static_cast<int>(rule)];
}

/// Pieces of what the rules write, by name: the declarator after a table's name, what a directive
/// starts with, the head of a table, and the head of an include (which stays a directive).
inline constexpr std::string_view kDeclarator = "[] =";
inline constexpr std::string_view kCommentedDirective = "//#";
inline constexpr std::string_view kTableHead = "PROTOCOL_STRUCT s";
inline constexpr std::string_view kCommentedInclude = "//#include";

/// Applies every rule of kRewriteRules, first to last, to `text`, a terminated block from
/// std::malloc that this call takes over (unless `keepInput`: then it stays the caller's, and
/// untouched). A block that a rule supersedes is reused for a later rule's result or released.
/// Returns the final block, owned by the caller (the very same `text` when no rule matched).
/// Returns nullptr when memory ran out or a rewritten text would exceed kMaxTextLength; then
/// every block has been released (but a kept input) and `*status` (when given) says which.
char* ApplyRewriteRules(char* text, ReplaceStatus* status = nullptr, bool keepInput = false);

}  // namespace protowrap

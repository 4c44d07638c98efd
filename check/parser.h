// The header check's parser of a wrap header (private to the check): one class, its members in
// files by grammar area: parser_tokens.cpp (tokens, lookahead, the one recovery routine),
// parser_declarations.cpp (statements, namespaces, declarations, includes, enumerations that
// stayed enumerations), parser_tables.cpp (tables, the end of the text, the client's names) and
// parser_entries.cpp (entries and their macro invocations, names and values).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "check/declared_names.h"
#include "check/enumerator_numbering.h"
#include "check/exposed_comment.h"
#include "check/expression.h"
#include "check/fast_path_counts.h"
#include "check/findings.h"
#include "check/lexer.h"
#include "check/name_set.h"
#include "check/position_map.h"
#include "check/preprocessor.h"

namespace protowrap::check {

/// How one run of the parser goes.
struct ParseOptions {
  std::int32_t guard = -1;   ///< where the header's include guard opens (FindIncludeGuard)
  bool cutAtNul = false;     ///< the header goes on after the wrap header's end (a NUL byte)
  bool plainEntries = true;  ///< read plain entries straight from the text (tests turn it off)
  FastPathCounts* fastPaths = nullptr;  ///< receives what was read the fast ways, when given
  PreprocessorSetup setup;              ///< the header's bytes, its includes and its switches
  const char* header = nullptr;         ///< the header's bytes (or null)
  std::int32_t headerLength = 0;
};

/// Reads a wrap header as a C++ compiler that includes it after its header would, with the
/// client's definitions of the names the rules write, and collects every cause of a compile
/// error, with the configurations in which it fails, into Findings.
class Parser {
 public:
  Parser(const char* text, std::int32_t length, const ParseOptions& options,
         ExpansionBudget& budget, Findings& findings);
  Parser(const Parser&) = delete;
  Parser& operator=(const Parser&) = delete;

  /// Reads the whole text.
  void Run();

  /// After Run: hands on the findings that stand, now that the whole header is known.
  void Deliver(ProblemSink& sink);

 private:
  // Where SkipUntil stops, outside brackets of the skipped text.
  enum Stop : unsigned {
    kAtStatementEnd = 1,  // a ';', or a '}' of the enclosing block
    kAtOpenBrace = 4,     // otherwise a { ... } is skipped whole
    kAtEntry = 8,         // MAKE_PROTOCOL_INFO or MAKE_PROTOCOL_INFO_EOR
    kAtCloseParen = 16,   // a ')' without its '('
    kAtComma = 32,
  };

  // A macro invocation of an entry, MAKE_PROTOCOL_INFO( ... ), as the compiler collects it.
  struct Invocation {
    Token start;                // the macro's name
    bool closed = false;        // its ')' was found
    bool crossed = false;       // the next entry, the table's end or a ';' came before it
    bool missingComma = false;  // crossed: its own entry had ended there, without a comma
    bool namesEntry = false;    // crossed: another entry's macro in its value, on its line
    int arguments = 1;
    Token name;                    // the first argument's first token
    bool nameOnly = true;          // the first argument is that one identifier
    bool declarator = false;       // the first argument holds "[] ="
    bool moreOnLaterLine = false;  // the first argument goes on onto a later line
    std::int32_t valueBegin = -1;  // after the first top-level ','
    std::int32_t valueEnd = -1;    // at the ')'
  };

  // ---- Tokens (parser_tokens.cpp) ----
  Token Pull();
  void Advance();
  Token Peek(int n);
  std::string_view Text(const Token& t) const { return lexer_.TextOf(t); }
  bool IsIdent(std::string_view word) const;
  bool IsPunct(char c) const { return IsPunct(token_, c); }
  bool IsPunct(const Token& t, char c) const {
    return t.kind == TokenKind::kPunctuator && text_[t.begin] == c;
  }
  bool TryConsume(char c);
  bool IsEntry() const;
  bool IsEnd() const;
  bool IsRewritten() const;
  bool OnLaterLine(const Token& t, std::int32_t after) const;
  bool SkipUntil(unsigned stops);
  bool SkipBalanced(char open, int depth = 0);
  void SkipParentheses();
  void SkipStatement();
  void SkipToEntry();
  bool InvocationCloses(std::int32_t open);

  // What a declaration beside the tables holds, read to its end (ReadDeclaration).
  struct DeclarationShape {
    Token start;
    bool rewritten = false;      // a ',' or '};' the rules rewrote, or a ')' without its '('
    std::int32_t broken = -1;    // where the rules left what no C++ has, or -1
    bool body = false;           // a { ... } at its top level
    bool ended = false;          // its ';' (or a function's body) was found
    bool unsure = false;         // a table or a directive interrupted it
    bool open = false;           // a bracket is still open where the text ends
    bool bracket = false;        // a bracket at its top level
    bool arrayOnly = true;       // its top level's brackets are "[...]" after a name or "]", and
                                 // nothing else follows the first: an array's declarator
    bool specifiersOnly = true;  // "extern", "static", "extern \"C\"" ...: the text that
                                 // follows the wrap header may complete it
    std::vector<Token> words;    // the tokens at its top level, before its first bracket
  };
  // The most words of a declaration's top level that its judge looks at.
  static constexpr std::size_t kMaxDeclarationWords = 32;
  // Where the reading of a declaration stands.
  struct OpenBracket {
    char bracket;
    bool macro;  // the arguments of what may be a function-like macro
  };
  struct DeclarationReading {
    std::vector<OpenBracket> open;
    std::int32_t ruled = -1;  // the first '(' that the rules opened in this statement
    Token before{};           // the token before the current one, in this statement
    Token name{};             // the last identifier
    bool Plain() const;
  };

  // ---- Statements (parser_statements.cpp) and declarations (parser_declarations.cpp) ----
  void Statement();
  void Namespace(bool isInline);
  void UsingDirective();
  void Enum();
  bool NamesEnumerationOfItsOwn();
  void Declaration();
  DeclarationShape ReadDeclaration();
  void NoteDeclarationToken(DeclarationShape& shape, DeclarationReading& reading);
  void ReadBody(DeclarationShape& shape, std::string_view first);
  bool RuleOpened(const Token& t) const;
  bool BrokenDeclarator(std::string_view first, bool topLevel);
  bool MayBe(const Token& t, bool objectLike) const;
  bool OnlyMacro(const Token& t, MacroMeaning::Kind kind) const;
  bool MayBeFunctionMacro(const Token& t) const;
  bool MayBeMacro(const Token& t) const;
  std::string_view TeamMacroBody(const Token& t) const;
  int Braces() const;
  bool TeamMacroStatement();
  bool DefinesVariable(const std::vector<Token>& words) const;
  void Include();
  void LiveDirective();
  std::uint64_t Scope() const { return scopes_.empty() ? 0 : scopes_.back(); }
  void BlameDefinition(std::int32_t offset);
  void Blame(std::int32_t offset, HeaderProblem problem);

  // ---- Tables (parser_tables.cpp) and entries (parser_entries.cpp) ----
  void Table();
  void TableEntries();
  void TableEnds(std::int32_t at);
  void TableGoesConditional(std::int32_t at);
  void PlainEntriesFromText();
  bool Entry();
  Invocation ReadInvocation();
  void Declare(std::string_view name, std::int32_t entry, bool listed = true);
  void Number(std::int32_t entry, std::int32_t valueBegin, std::int32_t valueEnd,
              bool number = false);
  void ForgetNumbering();
  std::string_view HeaderTextAt(std::int32_t begin, std::int32_t end);
  void EndOfText();
  bool ReadHeaderAfterNul();
  void ClientMacros();

  const char* text_;
  std::int32_t length_;
  ParseOptions options_;
  Lexer lexer_;
  Findings& findings_;
  Preprocessor preprocessor_;
  ExposedComments exposedComments_;
  ExpressionEvaluator values_;
  DeclaredNames names_{text_, length_};
  Token token_{};
  Token previous_{};
  std::vector<Token> ahead_;  // tokens read by Peek, not yet taken
  std::size_t aheadAt_ = 0;
  std::vector<std::uint64_t> scopes_;  // the namespaces open around the current token
  struct ScopedName {
    std::uint64_t scope;
    std::string_view name;
    bool operator==(const ScopedName& other) const = default;
  };
  struct ScopedNameHash {
    std::size_t operator()(const ScopedName& key) const;
  };
  std::unordered_set<ScopedName, ScopedNameHash> tables_;
  const MacroLookup* macros_[kMaxConfigurations];
  EnumeratorNumbering numbering_{macros_, preprocessor_.InUse()};
  std::int64_t plainEntries_ = 0;  // read straight from the text
  bool inTable_ = false;           // for the end of a text cut at a NUL byte
  bool cut_ = false;               // the header goes on after the wrap header, unread
  std::string headerAfterNul_;     // the header after its NUL byte, NUL bytes as blanks
  std::unordered_set<std::string_view> namesAfterNul_;  // CG_ and CW_ names the header has there
  // The current table: where its list begins, its entries, whether its closing entry came, and,
  // once a directive stands in it, the names it lists.
  std::int32_t tableStart_ = -1;
  std::int32_t tableEntries_ = 0;
  bool tableClosed_ = false;
  bool tableConditional_ = false;
  std::int32_t tableNumber_ = 0;
  bool inStatement_ = false;
  std::int32_t statementEnd_ = -1;  // the last token of a statement without ';' (a pragma
                                    // operator, a macro's invocation)
  // Unclosed invocations from where they were first asked for: the '(' offsets, ascending.
  std::int32_t unclosedFrom_ = -1;
  std::vector<std::int32_t> unclosed_;
  // The first uses of the client's names, for a header that redefines them: entries by their
  // number of arguments, the first end of a table and the first table.
  std::map<int, std::int32_t> firstEntry_;
  std::unique_ptr<PositionMap> headerMap_;  // from the first value that holds a literal
  std::int32_t firstEnd_ = -1;
  std::int32_t firstTable_ = -1;
};

}  // namespace protowrap::check

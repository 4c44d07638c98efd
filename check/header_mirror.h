// The header's own bytes beside its wrap header, so that the check reads what the rules rewrote
// (a directive's '=' that became ',', a '#' that became "//#") as the compilers read the header.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "check/lexer.h"

namespace protowrap::check {

/// Finds the header's directive on a line of the wrap header: the rules add and remove no line
/// end, so a line of the one is the same line of the other. Lines are asked for in increasing
/// order (an earlier one starts the walk again): the walk reads each text once.
class HeaderMirror {
 public:
  /// `header` may be null (the header could not be read again): nothing is found then.
  HeaderMirror(const char* wrap, std::int32_t wrapLength, const char* header,
               std::int32_t headerLength);

  /// Whether the header's bytes are here.
  bool Available() const { return header_ != nullptr; }

  /// The header's directive that begins on the line of the wrap header's offset `wrapOffset`: its
  /// text after the '#' (or "%:") to its end, in `*text`. False when that line of the header
  /// begins no directive (a line inside a comment of the header, say).
  bool DirectiveOnLineOf(std::int32_t wrapOffset, std::string_view* text);

 private:
  std::int32_t WrapLineOf(std::int32_t offset);

  const char* wrap_;
  std::int32_t wrapLength_;
  const char* header_;
  std::int32_t headerLength_;
  // The walk through the wrap header: an offset and its line.
  std::int32_t wrapAt_ = 0;
  std::int32_t wrapLine_ = 1;
  // The walk through the header: its lexer, the line where it stands, and the next directive.
  Lexer lexer_;
  std::int32_t headerAt_ = 0;
  std::int32_t headerLine_ = 1;
  Token next_{};
  std::int32_t nextLine_ = 0;   // 0: none read yet
  std::int32_t askedLine_ = 0;  // the line asked for last
};

/// The header's text of the wrap header's directive `token` (one that the rules commented out,
/// "//#...", or one that stays live) after its '#' (or "%:"), without line splices: from the
/// header's bytes where `mirror` (which may be null) has them, else what the rules wrote taken
/// back (HeaderTextOf), in `*scratch` where it differs from both texts. False where the header
/// has no directive there: a line inside a comment of the header's, or "//#include", which the
/// header wrote as a comment. (A live directive is always one.)
bool HeaderDirective(HeaderMirror* mirror, const char* wrap, const Token& token,
                     std::string* scratch, std::string_view* directive);

/// Counts the line ends (CR, LF, CR LF as one) of text[from, to) onto `*line`.
void CountLines(const char* text, std::int32_t from, std::int32_t to, std::int32_t* line);

}  // namespace protowrap::check

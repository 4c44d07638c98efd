// Block comments that a directive of the header opens and the wrap header shows as code: the
// rules comment the directive out with "//", and the comment's next lines are code there.
#pragma once

#include <cstdint>
#include <string>

#include "check/header_mirror.h"
#include "check/lexer.h"

namespace protowrap::check {

/// What a directive's block comment shows of the header as code: it opens on the directive's
/// line, which the wrap header comments out, and closes on a later one, at a "*/" that the wrap
/// header reads as code, which no C++ has.
struct Exposed {
  std::int32_t first = -1;  ///< the first code token, or -1 for none
  std::int32_t end = -1;    ///< just after the comment's "*/"
};

/// Finds them, directive by directive in the order of the text. A directive inside the stretch
/// of an earlier one's comment finds the same "*/" without searching again, so that the search
/// reads each byte of the wrap header a bounded number of times.
class ExposedComments {
 public:
  ExposedComments(const char* wrap, std::int32_t length) : wrap_(wrap), length_(length) {}

  /// What the commented-out directive `token` shows, if anything.
  Exposed Of(const Token& token);

 private:
  std::int32_t CommentEnd(std::int32_t from);

  const char* wrap_;
  std::int32_t length_;
  std::string scratch_;
  // The last search for a comment's "*/": from where, and where it ended (-1: none).
  std::int32_t searchedFrom_ = -1;
  std::int32_t searchedClose_ = -1;
};

}  // namespace protowrap::check

// The preprocessor model's includes: the files of quoted includes, read for what they define,
// and the standard library's headers, which define nothing of the project's.
#include <algorithm>
#include <cstddef>
#include <iterator>
#include <string>

#include "check/preprocessor.h"

namespace protowrap::check {

namespace {

// Includes nest at most this deep; deeper ones are not read (what they define stays unknown).
constexpr int kMaxIncludeDepth = 16;

// The standard library's headers: they define no switch of the project (the names they define
// are unknown anyway, see IsLibraryName). Sorted.
constexpr std::string_view kStandardHeaders[] = {
    "algorithm",
    "any",
    "array",
    "assert.h",
    "atomic",
    "barrier",
    "bit",
    "bitset",
    "cassert",
    "cctype",
    "cerrno",
    "cfenv",
    "cfloat",
    "charconv",
    "chrono",
    "cinttypes",
    "climits",
    "clocale",
    "cmath",
    "codecvt",
    "compare",
    "complex",
    "concepts",
    "condition_variable",
    "coroutine",
    "csetjmp",
    "csignal",
    "cstdarg",
    "cstddef",
    "cstdint",
    "cstdio",
    "cstdlib",
    "cstring",
    "ctime",
    "ctype.h",
    "cuchar",
    "cwchar",
    "cwctype",
    "deque",
    "errno.h",
    "exception",
    "execution",
    "expected",
    "filesystem",
    "float.h",
    "format",
    "forward_list",
    "fstream",
    "functional",
    "future",
    "initializer_list",
    "inttypes.h",
    "iomanip",
    "ios",
    "iosfwd",
    "iostream",
    "istream",
    "iterator",
    "latch",
    "limits",
    "limits.h",
    "list",
    "locale",
    "locale.h",
    "map",
    "math.h",
    "memory",
    "memory_resource",
    "mutex",
    "new",
    "numbers",
    "numeric",
    "optional",
    "ostream",
    "queue",
    "random",
    "ranges",
    "ratio",
    "regex",
    "scoped_allocator",
    "semaphore",
    "set",
    "setjmp.h",
    "shared_mutex",
    "signal.h",
    "source_location",
    "span",
    "sstream",
    "stack",
    "stdarg.h",
    "stdbool.h",
    "stddef.h",
    "stdexcept",
    "stdint.h",
    "stdio.h",
    "stdlib.h",
    "stop_token",
    "streambuf",
    "string",
    "string.h",
    "string_view",
    "syncstream",
    "system_error",
    "thread",
    "time.h",
    "tuple",
    "type_traits",
    "typeindex",
    "typeinfo",
    "uchar.h",
    "unordered_map",
    "unordered_set",
    "utility",
    "valarray",
    "variant",
    "vector",
    "version",
    "wchar.h",
    "wctype.h",
};

bool IsStandardHeader(std::string_view name) {
  return std::binary_search(std::begin(kStandardHeaders), std::end(kStandardHeaders), name);
}

}  // namespace

void Preprocessor::Include(std::string_view operand, std::string_view includer) {
  const ConfigurationSet where = Active().MayHold();
  if (where == 0) {
    return;
  }
  std::string scratch;
  std::string_view spelled = operand;
  while (!spelled.empty() && IsBlankOrLineEnd(spelled.front())) {
    spelled.remove_prefix(1);
  }
  if (!spelled.empty() && IsIdentifierByte(spelled.front())) {
    // #include MACRO: the file its replacement names, where every configuration agrees on it.
    const std::string_view macro = FirstIdentifier(spelled, &scratch);
    const MacroMeaning meaning = scope_.Meaning(macro, 0);
    spelled = {};
    if (meaning.kind == MacroMeaning::Kind::kObject && SameEverywhere(macro)) {
      spelled = meaning.body;
    }
  }
  if (spelled.size() >= 2 && spelled.front() == '<') {
    const std::size_t close = spelled.find('>');
    if (close != std::string_view::npos && IsStandardHeader(spelled.substr(1, close - 1))) {
      return;  // the standard library: names it may define are unknown anyway
    }
  } else if (spelled.size() >= 2 && spelled.front() == '"' && includes_ != nullptr &&
             includeDepth_ < kMaxIncludeDepth) {
    const std::size_t close = spelled.find('"', 1);
    if (close != std::string_view::npos) {
      if (const IncludedFile* file = includes_->Find(spelled.substr(1, close - 1), includer)) {
        if (read_.insert(file).second) {
          ReadInclude(*file);  // each file once
        }
        return;
      }
    }
  }
  scope_.UnreadInclude(where);
}

void Preprocessor::ReadInclude(const IncludedFile& file) {
  ++includeDepth_;
  const std::string_view includer = includer_;
  includer_ = file.path;  // its own includes are found from its directory
  const std::size_t blocks = blocks_.size();
  const std::string_view text = file.text;
  Lexer lexer(text.data(), static_cast<std::int32_t>(text.size()));
  for (Token t = lexer.Next(); t.kind != TokenKind::kEnd; t = lexer.Next()) {
    if (t.kind == TokenKind::kDirective) {
      std::string own;
      Process(WithoutSplices(DirectiveBody(lexer.TextOf(t)), &own), -1, Source::kInclude);
    }
  }
  if (blocks_.size() > blocks) {
    Fail();  // an #if of the include without its #endif
    // Its own blocks, none of them live (only the wrap header's directives are).
    blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(blocks), blocks_.end());
  }
  includer_ = includer;
  --includeDepth_;
}

}  // namespace protowrap::check

// Fuzzes the whole rule table against the plain reference applied rule by rule, and the header
// check on what it wrote: the check reads nothing outside the input and the output (each in a
// block of its own exact size), changes neither, and locates every warning inside the input; its
// runs of bytes read many at a time agree with the same runs read byte by byte.
#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "check/byte_runs.h"
#include "check/char_class.h"
#include "check/header_check.h"
#include "check/position_map.h"
#include "fuzz/fuzz_reference.h"
#include "wrap/rewrite_rules.h"

using namespace protowrap::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  std::string expected = input.substr(0, input.find('\0'));
  bool changes = false;
  for (const protowrap::RewriteRule* rule = protowrap::kRewriteRules; rule->pattern != nullptr;
       ++rule) {
    std::string next = ReplaceReference(expected, rule->pattern, rule->replacement);
    changes = changes || expected.find(rule->pattern) != std::string::npos;
    expected.swap(next);
  }
  char* block = ExactBlock(input, true);
  protowrap::ReplaceStatus status = protowrap::ReplaceStatus::kNoMemory;
  char* result = protowrap::ApplyRewriteRules(block, &status);
  if (result == nullptr || (result == block) == changes) {
    Fail("the table must hand back the same block exactly when no rule matched");
  }
  if (std::strlen(result) != expected.size() ||
      std::memcmp(result, expected.data(), expected.size()) != 0) {
    Fail("the rewritten text differs from the reference");
  }

  const std::string source = input.substr(0, input.find('\0'));
  char* kept = ExactBlock(source, false);
  char* written = ExactBlock(expected, true);
  std::int32_t lines = 1;
  for (std::size_t i = 0; i < source.size(); ++i) {
    const bool cr = source[i] == '\r';
    lines += source[i] == '\n' || (cr && (i + 1 == source.size() || source[i + 1] != '\n'));
  }
  // Kept warnings are the first of all of them, in order, each pointing into the input; a smaller
  // limit keeps a prefix of the same warnings.
  protowrap::check::WarningReport all(0);
  protowrap::check::WarningReport few(3);
  const auto length = static_cast<std::int32_t>(expected.size());
  if (!protowrap::check::CheckWrapHeader(written, length, &all) ||
      !protowrap::check::CheckWrapHeader(written, length, &few)) {
    Fail("the check must run");
  }
  // The entries read straight from the text and those read token by token give the same.
  protowrap::check::WarningReport tokens(0);
  protowrap::check::CheckOptions byTokens;
  byTokens.plainEntries = false;
  if (!protowrap::check::CheckWrapHeader(written, length, &tokens, byTokens) ||
      tokens.Count() != all.Count()) {
    Fail("both ways of reading entries must find the same");
  }
  for (std::size_t i = 0; i < tokens.InOrder().size(); ++i) {
    if (tokens.InOrder()[i].offset != all.InOrder()[i].offset ||
        tokens.InOrder()[i].problem != all.InOrder()[i].problem) {
      Fail("both ways of reading entries must find the same");
    }
  }
  if (all.Count() != few.Count() ||
      static_cast<std::int64_t>(all.InOrder().size()) != all.Count() ||
      few.InOrder().size() != std::min<std::size_t>(3, all.InOrder().size())) {
    Fail("the report must count every warning and keep the first ones");
  }
  protowrap::check::PositionMap map(kept, static_cast<std::int32_t>(source.size()), written,
                                    length);
  for (std::size_t i = 0; i < all.InOrder().size(); ++i) {
    const protowrap::check::Warning& w = all.InOrder()[i];
    std::int32_t line = 0;
    std::int32_t column = 0;
    map.Locate(w.offset, &line, &column);
    if (line < 1 || line > lines || column < 1 ||
        (i > 0 && w.offset < all.InOrder()[i - 1].offset) ||
        (i < few.InOrder().size() && few.InOrder()[i].offset != w.offset)) {
      Fail("a warning must point into the input, in order");
    }
  }
  // The check's runs of bytes, read many at a time, against one byte at a time: from many
  // starts, never reading past the end they are given (the block has no byte more).
  const auto end = static_cast<std::int32_t>(source.size());
  for (std::int32_t at = 0; at < end; at += 1 + at % 7) {
    std::int32_t identifier = at;
    std::int32_t blanks = at;
    std::int32_t line = at;
    while (identifier < end && protowrap::check::IsIdentifierByte(kept[identifier])) {
      ++identifier;
    }
    while (blanks < end && protowrap::check::IsBlank(kept[blanks])) {
      ++blanks;
    }
    while (line < end && !protowrap::check::IsLineEnd(kept[line])) {
      ++line;
    }
    if (protowrap::check::IdentifierEnd(kept, at, end) != identifier ||
        protowrap::check::BlanksEnd(kept, at, end) != blanks ||
        protowrap::check::LineEndFrom(kept, at, end) != line) {
      Fail("a run read many bytes at a time differs from one read byte by byte");
    }
  }
  if (std::memcmp(kept, source.data(), source.size()) != 0 ||
      std::memcmp(written, expected.data(), expected.size() + 1) != 0) {
    Fail("the check must change nothing");
  }
  std::free(kept);
  std::free(written);
  std::free(result);
  return 0;
}

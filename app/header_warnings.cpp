// Checks each wrap header as it is written and prints its warnings.
#include "app/header_warnings.h"

#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "check/header_check.h"
#include "check/include_reader.h"
#include "check/position_map.h"

namespace protowrap::app {

using check::CheckOptions;
using check::CheckWrapHeader;
using check::DiagnosticWriter;
using check::HeaderProblem;
using check::IncludeReader;
using check::PositionMap;
using check::WarningReport;

namespace {

// Whether the header is UTF-16 (Visual Studio's "Unicode"): a byte-order mark, or, in its first
// 64 bytes, a NUL byte in every other place and none in the others.
bool IsUtf16(std::string_view header) {
  if (header.size() >= 2 && ((header[0] == '\xFF' && header[1] == '\xFE') ||
                             (header[0] == '\xFE' && header[1] == '\xFF'))) {
    return true;
  }
  const std::size_t size = header.size() < 64 ? header.size() & ~std::size_t{1} : 64;
  if (size < 4) {
    return false;
  }
  for (std::size_t odd = 0; odd < 2; ++odd) {
    bool pattern = true;
    for (std::size_t at = 0; at < size && pattern; ++at) {
      pattern = (header[at] == '\0') == (at % 2 == odd);
    }
    if (pattern) {
      return true;
    }
  }
  return false;
}

}  // namespace

void HeaderWarnings::Inspect(const char* inputPath, const char* header, std::int32_t headerLength,
                             const char* text, std::int32_t length, bool cutAtNul) {
  if (options_.stream == nullptr) {
    return;
  }
  DiagnosticWriter writer(options_.stream, options_.form, inputPath);
  if (IsUtf16(std::string_view(header, static_cast<std::size_t>(headerLength)))) {
    writer.WriteWarning(1, 1, HeaderProblem::kUtf16);  // the rest would only echo it
    return;
  }
  WarningReport report(options_.limit);
  std::vector<std::string> switches;
  bool checked = false;
  try {
    IncludeReader includes(files_, inputPath);
    CheckOptions check;
    check.cutAtNul = cutAtNul;
    check.header = header;
    check.headerLength = headerLength;
    check.includes = &includes;
    checked = CheckWrapHeader(text, length, &report, check, &switches);
  } catch (const std::bad_alloc&) {
    // too large to check in the memory there is: said below, as for any header left unchecked
  }
  if (!checked) {
    writer.WriteWarning(0, 0, HeaderProblem::kNotChecked);
    return;
  }
  if (report.Count() == 0) {
    return;
  }
  // The columns, by the header up to its first NUL byte, where the wrap header ends.
  const auto nul = std::string_view(header, static_cast<std::size_t>(headerLength)).find('\0');
  PositionMap map(header,
                  nul == std::string_view::npos ? headerLength : static_cast<std::int32_t>(nul),
                  text, length);
  writer.WriteWarnings(report, map, switches);
}

}  // namespace protowrap::app

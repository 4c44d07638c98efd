#include "check/header_warnings.h"

#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "check/header_check.h"
#include "check/include_reader.h"
#include "check/position_map.h"

namespace protowrap::check {

void HeaderWarnings::Written(const char* inputPath, const char* header, std::int32_t headerLength,
                             const char* text, std::int32_t length, bool cutAtNul) {
  if (options_.stream == nullptr) {
    return;
  }
  DiagnosticWriter writer(options_.stream, options_.form, inputPath);
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
    checked = false;
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

}  // namespace protowrap::check

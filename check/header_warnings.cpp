#include "check/header_warnings.h"

#include <cstdlib>
#include <cstring>

#include "check/header_check.h"
#include "check/position_map.h"

namespace protowrap::check {

void HeaderWarnings::Written(const char* inputPath, const char* text, std::int32_t length,
                             bool cutAtNul) {
  if (options_.stream == nullptr) {
    return;
  }
  DiagnosticWriter writer(options_.stream, options_.form, inputPath);
  WarningReport report(options_.limit);
  CheckOptions check;
  check.cutAtNul = cutAtNul;
  if (!CheckWrapHeader(text, length, &report, check)) {
    writer.WriteWarning(0, 0, HeaderProblem::kNotChecked);
    return;
  }
  if (report.Count() == 0) {
    return;
  }
  std::uint64_t size = 0;
  platform::ReadFailure why = platform::ReadFailure::kCannotRead;
  char* input = platform::ReadWholeFile(files_, inputPath, 0x7FFFFFFE, &size, &why);
  PositionMap map(input, input != nullptr ? static_cast<std::int32_t>(std::strlen(input)) : 0, text,
                  length);
  writer.WriteWarnings(report, map);
  std::free(input);
}

}  // namespace protowrap::check

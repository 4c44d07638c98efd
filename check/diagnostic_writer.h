// Writes the header check's warnings in the form that the platform's tools read.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "check/position_map.h"
#include "check/warning_report.h"
#include "platform/process.h"

namespace protowrap::check {

/// The form of warnings that a platform's tools read: GCC's (editors, CI log parsers) or
/// MSBuild's (Visual Studio's Error List).
enum class DiagnosticForm { kGcc, kMsBuild };

/// The platform's own form: MSBuild's on Windows, GCC's elsewhere.
inline DiagnosticForm NativeDiagnosticForm() {
  return platform::ToolsReadMsBuildWarnings() ? DiagnosticForm::kMsBuild : DiagnosticForm::kGcc;
}

/// Formats warnings about one header and writes them in a few large writes (never one per line),
/// without allocating memory:
///   GCC:     <path>:<line>:<column>: warning: <what>; <instead> [PW<code>]
///   MSBuild: <path>(<line>,<column>): warning PW<code>: <what>; <instead>
/// A column of 0 (unknown) is left out, and so is a line of 0 (the whole file). A warning that
/// holds only in a build that defines one of the header's switches says so first: "in a build
/// that defines <NAME>, <what>".
class DiagnosticWriter {
 public:
  DiagnosticWriter(std::FILE* stream, DiagnosticForm form, std::string_view path)
      : stream_(stream), form_(form), path_(path) {}
  DiagnosticWriter(const DiagnosticWriter&) = delete;
  DiagnosticWriter& operator=(const DiagnosticWriter&) = delete;
  ~DiagnosticWriter() { Finish(); }

  /// One warning line; `build`: the switch whose build alone fails, or empty.
  void WriteWarning(std::int32_t line, std::int32_t column, HeaderProblem problem,
                    std::string_view build = {});

  /// Every kept warning of `report`, placed by `map`, then a note on those not kept, by code.
  /// `switches`: the header's switches, which a warning's build names.
  void WriteWarnings(WarningReport& report, PositionMap& map,
                     const std::vector<std::string>& switches = {});

  /// Writes what is buffered.
  void Finish();

 private:
  void Append(std::string_view text);
  void AppendNumber(std::int64_t n);
  void AppendCode(int code);

  std::FILE* stream_;
  DiagnosticForm form_;
  std::string_view path_;
  char buffer_[16 * 1024];  ///< what is not written yet: no allocation, so nothing can fail here
  std::size_t used_ = 0;
};

}  // namespace protowrap::check

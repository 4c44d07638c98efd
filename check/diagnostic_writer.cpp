// Writes warnings as GCC's or MSVC's diagnostics.
#include "check/diagnostic_writer.h"

#include <charconv>
#include <cstring>

namespace protowrap::check {

void DiagnosticWriter::Append(std::string_view text) {
  if (text.size() > sizeof buffer_ - used_) {
    Finish();
  }
  if (text.size() > sizeof buffer_) {
    if (stream_ != nullptr) {
      std::fwrite(text.data(), 1, text.size(), stream_);  // a path longer than the buffer
    }
    return;
  }
  std::memcpy(buffer_ + used_, text.data(), text.size());
  used_ += text.size();
}

void DiagnosticWriter::AppendNumber(std::int64_t n) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, n);
  Append(std::string_view(digits, static_cast<std::size_t>(result.ptr - digits)));
}

void DiagnosticWriter::AppendCode(int code) {
  // "PW" and three digits (the codes go from 0 to 255).
  const char digits[] = {static_cast<char>('0' + code / 100),
                         static_cast<char>('0' + code / 10 % 10),
                         static_cast<char>('0' + code % 10)};
  Append("PW");
  Append(std::string_view(digits, sizeof digits));
}

void DiagnosticWriter::WriteWarning(std::int32_t line, std::int32_t column, HeaderProblem problem,
                                    std::string_view build) {
  const ProblemText& text = DescribeProblem(problem);
  Append(path_);
  const bool gcc = form_ == DiagnosticForm::kGcc;
  if (line > 0) {
    Append(gcc ? ":" : "(");
    AppendNumber(line);
    if (column > 0) {
      Append(gcc ? ":" : ",");
      AppendNumber(column);
    }
    if (!gcc) {
      Append(")");
    }
  }
  const auto what = [&] {
    if (!build.empty()) {
      Append("in a build that defines ");
      Append(build);
      Append(", ");
    }
    Append(text.what);
  };
  if (gcc) {
    Append(": warning: ");
    what();
    Append("; ");
    Append(text.instead);
    Append(" [");
    AppendCode(static_cast<int>(problem));
    Append("]\n");
  } else {
    Append(": warning ");
    AppendCode(static_cast<int>(problem));
    Append(": ");
    what();
    Append("; ");
    Append(text.instead);
    Append("\n");
  }
}

void DiagnosticWriter::WriteWarnings(WarningReport& report, PositionMap& map,
                                     const std::vector<std::string>& switches) {
  const auto kept = static_cast<std::int64_t>(report.InOrder().size());
  for (const check::Warning& warning : report.InOrder()) {
    std::int32_t line = 0;
    std::int32_t column = 0;
    map.Locate(warning.offset, &line, &column);
    const std::size_t build = warning.build;
    WriteWarning(line, column, warning.problem,
                 build > 0 && build <= switches.size() ? std::string_view(switches[build - 1])
                                                       : std::string_view{});
  }
  const std::int64_t more = report.Count() - kept;
  if (more <= 0) {
    return;
  }
  Append(path_);
  Append(": note: ");
  AppendNumber(more);
  Append(more == 1 ? " more warning not shown (" : " more warnings not shown (");
  const char* separator = "";
  for (int code = 0; code < kProblemCodes; ++code) {
    const std::int64_t n = report.Omitted(static_cast<HeaderProblem>(code));
    if (n > 0) {
      Append(separator);
      AppendCode(code);
      Append(" x");
      AppendNumber(n);
      separator = ", ";
    }
  }
  Append("); protowrap --warning-limit=0 shows them all\n");
}

void DiagnosticWriter::Finish() {
  if (used_ > 0 && stream_ != nullptr) {
    std::fwrite(buffer_, 1, used_, stream_);
    std::fflush(stream_);
  }
  used_ = 0;
}

}  // namespace protowrap::check

// The header check's part in a run: each wrap header, once written, is checked and its warnings
// printed, before the job says "Completed".
#pragma once

#include <cstdint>
#include <cstdio>

#include "check/diagnostic_writer.h"
#include "check/warning_report.h"
#include "platform/file_system.h"
#include "wrap/conversion_job.h"

namespace protowrap::app {

using check::DiagnosticForm;
using check::NativeDiagnosticForm;
using check::WarningReport;

/// Where and how a run reports the places where its headers do not fit the rules.
struct WarningOptions {
  std::FILE* stream = nullptr;  ///< none when null: nothing is checked
  DiagnosticForm form = NativeDiagnosticForm();
  /// Warnings shown per header, the rest counted; 0 shows them all.
  std::int32_t limit = WarningReport::kDefaultLimit;
};

/// Checks every wrap header that a job writes (CheckWrapHeader), beside its header's bytes and the
/// files its quoted includes name (read through `files`), and prints one warning per place where
/// its header does not fit the rules, so that the wrap header will not compile: the first `limit`
/// of them, then one line that counts the others.
class HeaderWarnings final : public WrittenHeader {
 public:
  HeaderWarnings(platform::FileSystem& files, const WarningOptions& options)
      : files_(files), options_(options) {}

  void Inspect(const char* inputPath, const char* header, std::int32_t headerLength,
               const char* text, std::int32_t length, bool cutAtNul) override;

 private:
  platform::FileSystem& files_;
  WarningOptions options_;
};

}  // namespace protowrap::app

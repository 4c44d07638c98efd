// The two conversion jobs: configuration lookup, reading, rewriting, writing, and the result line.
#pragma once

#include <cstdint>
#include <cstdio>

#include "config/configuration.h"
#include "platform/file_system.h"
#include "platform/process.h"

namespace protowrap {

/// One protocol family: where its input path is configured and where its wrap header goes.
struct ConversionJob {
  const char* configKey;   ///< key in section "CONFIG" of "./Talvenor.ini"
  const char* outputPath;  ///< fixed output, relative to the working directory
};

/// The jobs, in the order they always run.
inline constexpr ConversionJob kConversionJobs[] = {
    {"CG_FILE_PATH", "./Protocol_CG.WRAP.h"},
    {"CW_FILE_PATH", "./Protocol_CW.WRAP.h"},
};

/// Configuration file, read afresh by every job.
inline constexpr const char* kConfigPath = "./Talvenor.ini";

/// Section of kConfigPath that holds the input paths.
inline constexpr const char* kConfigSection = "CONFIG";

/// Where and how a job reports the places where its header does not fit the rules.
struct WarningOptions {
  std::FILE* stream = nullptr;  ///< none when null
  platform::DiagnosticForm form = platform::NativeDiagnosticForm();
  std::int32_t limit = 20;  ///< warnings shown per header, the rest counted; 0 shows all
};

/// Runs one job, reading its input path from `configuration` and its files through `files`,
/// printing exactly one result line on `console`:
///   "Completed\n"                 the output holds the rewritten input;
///   "Can't open %s\n"             (configured path) the input cannot be opened;
///   "Can't Read File %s\n"        (input) its size or content cannot be read;
///   "File Too Large %s\n"         (input) it, or a rewritten text, exceeds 2,147,483,646 bytes;
///   "Out Of Memory %s\n"          (input) a text block cannot be allocated;
///   "Can't Create File %s\n"      (output) the output cannot be created or truncated;
///   "Can't Write File %s\n"       (output) writing or closing the output failed.
/// Returns true only after "Completed". An output is touched only once the whole text has been
/// rewritten in memory.
///
/// Once the output is written, its text is checked (check::CheckWrapHeader): every place where
/// the input does not fit the rules, so that the wrap header will not compile, gets one warning
/// line as `warnings` says, the first `limit` of them, then one line that counts the others.
/// Warnings change neither the output nor the result.
bool RunConversion(const ConversionJob& job, config::Configuration& configuration,
                   platform::FileSystem& files, std::FILE* console,
                   const WarningOptions& warnings = {});

/// RunConversion with the platform's configuration and files, standard output, and standard error
/// for warnings (at most `warningLimit` per header; 0 for all of them).
bool RunConversion(const ConversionJob& job, std::int32_t warningLimit = 20);

}  // namespace protowrap

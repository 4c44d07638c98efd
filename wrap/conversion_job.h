// The two conversion jobs: configuration lookup, reading, rewriting, writing, and the result line.
#pragma once

#include <cstdio>

#include "platform/file_system.h"

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

/// Runs one job through `files`, printing exactly one result line on `console`:
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
/// Once the output is written, its text is checked (CheckWrapHeader): every place where the
/// input does not fit the rules, so that the wrap header will not compile, gets one warning line
/// on `diagnostics` (none when it is null). Warnings change neither the output nor the result.
bool RunConversion(const ConversionJob& job, platform::FileSystem& files, std::FILE* console,
                   std::FILE* diagnostics = nullptr);

/// RunConversion with the operating system's files, standard output and standard error.
bool RunConversion(const ConversionJob& job);

}  // namespace protowrap

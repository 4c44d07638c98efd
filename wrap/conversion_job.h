// The two conversion jobs: configuration lookup, reading, rewriting, writing, and the result line.
#pragma once

#include <cstdint>
#include <cstdio>

#include "config/configuration.h"
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

/// What happens to a wrap header between its writing and the job's "Completed": the header check
/// comes in here, from the layer above the jobs.
class WrittenHeader {
 public:
  /// `text` (`length` bytes, then a NUL) was written as the wrap header of the header at
  /// `inputPath`, whose bytes are `header` (`headerLength`, with any NUL bytes: the wrap header
  /// ends at the first); `cutAtNul`: the header goes on after a NUL byte.
  virtual void Inspect(const char* inputPath, const char* header, std::int32_t headerLength,
                       const char* text, std::int32_t length, bool cutAtNul) = 0;

 protected:
  ~WrittenHeader() = default;
};

/// Runs one job, reading its input path from `configuration` and its files through `files`,
/// printing exactly one result line on `console`:
///   "Completed\n"                 the output holds the rewritten input;
///   "Can't open %s\n"             (configured path) the input cannot be opened;
///   "Can't Read File %s\n"        (input) its size or content cannot be read;
///   "File Too Large %s\n"         (input) it, or a rewritten text, exceeds 2,147,483,646 bytes;
///   "Out Of Memory %s\n"          (input) a text block cannot be allocated;
///   "Can't Create File %s\n"      (output) the output cannot be written, or no file beside it
///                                  created;
///   "Can't Write File %s\n"       (output) writing the new text failed (the old one is kept).
/// Returns true only after "Completed". An output is touched only once the whole text has been
/// rewritten in memory, and then replaced whole (FileSystem::BeginReplace). Once it is written,
/// and before "Completed", `written` (when given) sees the text; it changes neither the output
/// nor the result.
bool RunConversion(const ConversionJob& job, config::Configuration& configuration,
                   platform::FileSystem& files, std::FILE* console,
                   WrittenHeader* written = nullptr);

}  // namespace protowrap

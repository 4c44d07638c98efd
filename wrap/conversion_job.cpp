#include "wrap/conversion_job.h"

#include <cstdlib>
#include <cstring>

#include "wrap/check/diagnostic_writer.h"
#include "wrap/check/header_check.h"
#include "wrap/rewrite_rules.h"

namespace protowrap {

namespace {

// The configuration value buffer, shared by the jobs: each job fills it before it uses it.
char valueBuffer[config::kValueSize];

// Prints a failure line (unless `console` is null) and returns the job's result for it.
bool Fail(std::FILE* console, const char* format, const char* path) {
  if (console != nullptr) {
    std::fprintf(console, format, path);
    std::fflush(console);
  }
  return false;
}

// Reads the whole input into a new terminated block. On failure prints the line (unless
// `console` is null), releases everything and returns nullptr.
char* ReadInput(platform::FileSystem& files, const char* path, std::FILE* console,
               std::uint64_t* sizeRead = nullptr) {
  const platform::FileHandle input = files.OpenForRead(path);
  if (input == platform::kInvalidFile) {
    Fail(console, "Can't open %s\n", path);
    return nullptr;
  }
  std::uint64_t size = 0;
  const char* failure = nullptr;
  char* text = nullptr;
  if (!files.GetSize(input, &size)) {
    failure = "Can't Read File %s\n";
  } else if (size > static_cast<std::uint64_t>(kMaxTextLength)) {
    failure = "File Too Large %s\n";
  } else if ((text = static_cast<char*>(std::malloc(size + 1))) == nullptr) {
    failure = "Out Of Memory %s\n";
  } else if (!files.Read(input, text, static_cast<std::uint32_t>(size))) {
    failure = "Can't Read File %s\n";
    std::free(text);
    text = nullptr;
  } else {
    text[size] = '\0';
    if (sizeRead != nullptr) {
      *sizeRead = size;
    }
  }
  files.Close(input);
  if (failure != nullptr) {
    Fail(console, failure, path);
  }
  return text;
}

// Whether the `size` bytes of `text` go on after a NUL byte with more than blanks and NULs: the
// text that the rules see, and so the wrap header, ends at the first NUL; the compilers read on.
bool GoesOnAfterNul(const char* text, std::uint64_t size) {
  for (std::uint64_t at = std::strlen(text); at < size; ++at) {
    const char c = text[at];
    if (c != '\0' && c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != '\v' && c != '\f') {
      return true;
    }
  }
  return false;
}

// Checks a written wrap header and prints its warnings. The check needs the input header only to
// place the warnings' columns, so the input (released by the rules, to keep the conversion's peak
// memory at two texts) is read again only when there are warnings; a header that changed
// meanwhile, or cannot be read again, gets warnings without columns.
void CheckWritten(platform::FileSystem& files, const char* inputPath, const char* text,
                  std::int32_t length, bool cutAtNul, const WarningOptions& options) {
  check::DiagnosticWriter writer(options.stream, options.form, inputPath);
  check::WarningReport report(options.limit);
  check::CheckOptions checkOptions;
  checkOptions.cutAtNul = cutAtNul;
  if (!check::CheckWrapHeader(text, length, &report, checkOptions)) {
    writer.WriteWarning(0, 0, check::HeaderProblem::kNotChecked);
    return;
  }
  if (report.Count() == 0) {
    return;
  }
  char* input = ReadInput(files, inputPath, nullptr);
  check::PositionMap map(input, input != nullptr ? static_cast<std::int32_t>(std::strlen(input)) : 0,
                         text, length);
  writer.WriteWarnings(report, map);
  std::free(input);
}

}  // namespace

bool RunConversion(const ConversionJob& job, config::Configuration& configuration,
                   platform::FileSystem& files, std::FILE* console,
                   const WarningOptions& warnings) {
  configuration.GetValue(kConfigSection, job.configKey, "", valueBuffer, sizeof valueBuffer,
                         kConfigPath);
  const char* inputPath = valueBuffer;
  std::uint64_t size = 0;
  char* text = ReadInput(files, inputPath, console, &size);
  if (text == nullptr) {
    return false;
  }
  const bool cutAtNul = GoesOnAfterNul(text, size);

  ReplaceStatus status = ReplaceStatus::kUnchanged;
  text = ApplyRewriteRules(text, &status);
  if (text == nullptr) {
    return Fail(console,
                status == ReplaceStatus::kTooLong ? "File Too Large %s\n" : "Out Of Memory %s\n",
                inputPath);
  }

  const std::size_t length = std::strlen(text);
  const platform::FileHandle output = files.CreateForWrite(job.outputPath);
  if (output == platform::kInvalidFile) {
    std::free(text);
    return Fail(console, "Can't Create File %s\n", job.outputPath);
  }
  const bool written = files.Write(output, text, static_cast<std::uint32_t>(length));
  const bool closed = files.Close(output);
  if (!written || !closed) {
    std::free(text);
    return Fail(console, "Can't Write File %s\n", job.outputPath);
  }
  if (warnings.stream != nullptr) {
    CheckWritten(files, inputPath, text, static_cast<std::int32_t>(length), cutAtNul, warnings);
  }
  std::free(text);
  std::fputs("Completed\n", console);
  std::fflush(console);
  return true;
}

bool RunConversion(const ConversionJob& job, std::int32_t warningLimit) {
  WarningOptions warnings;
  warnings.stream = stderr;
  warnings.limit = warningLimit;
  return RunConversion(job, config::SystemConfiguration(), platform::SystemFileSystem(), stdout,
                       warnings);
}

}  // namespace protowrap

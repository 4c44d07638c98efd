// The conversion job: lookup, read, rewrite, write, result line.
#include "wrap/conversion_job.h"

#include <cstdlib>
#include <cstring>

#include "wrap/rewrite_rules.h"

namespace protowrap {

namespace {

// The configuration value buffer, shared by the jobs: each job fills it before it uses it.
char valueBuffer[config::kValueSize];

// Prints a failure line and returns the job's result for it.
bool Fail(std::FILE* console, const char* format, const char* path) {
  std::fprintf(console, format, path);
  std::fflush(console);
  return false;
}

// The line for a failure to read the input.
const char* LineFor(platform::ReadFailure why) {
  switch (why) {
    case platform::ReadFailure::kCannotOpen:
      return "Can't open %s\n";
    case platform::ReadFailure::kTooLarge:
      return "File Too Large %s\n";
    case platform::ReadFailure::kNoMemory:
      return "Out Of Memory %s\n";
    case platform::ReadFailure::kCannotRead:
      break;
  }
  return "Can't Read File %s\n";
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

}  // namespace

bool RunConversion(const ConversionJob& job, config::Configuration& configuration,
                   platform::FileSystem& files, std::FILE* console, WrittenHeader* written) {
  std::memset(valueBuffer, 0, sizeof valueBuffer);  // nothing of the other job's value stays
  configuration.GetValue(kConfigSection, job.configKey, "", valueBuffer, sizeof valueBuffer,
                         kConfigPath);
  const char* inputPath = valueBuffer;
  std::uint64_t size = 0;
  platform::ReadFailure why = platform::ReadFailure::kCannotRead;
  char* text = platform::ReadWholeFile(files, inputPath, static_cast<std::uint64_t>(kMaxTextLength),
                                       &size, &why);
  if (text == nullptr) {
    return Fail(console, LineFor(why), inputPath);
  }
  const bool cutAtNul = written != nullptr && GoesOnAfterNul(text, size);

  // With a check to come, the header's own bytes stay for it: it reads what the rules rewrote in
  // a directive as the compilers read the header.
  char* header = written != nullptr ? text : nullptr;
  const auto release = [&](char* result) {
    if (header != nullptr && header != result) {
      std::free(header);
    }
    std::free(result);
  };
  ReplaceStatus status = ReplaceStatus::kUnchanged;
  text = ApplyRewriteRules(text, &status, header != nullptr);
  if (text == nullptr) {
    release(nullptr);
    return Fail(console,
                status == ReplaceStatus::kTooLong ? "File Too Large %s\n" : "Out Of Memory %s\n",
                inputPath);
  }

  // The new text goes to a temporary file that then takes the output's place in one step: a
  // run that is killed, or a disk that fills up, leaves the previous wrap header whole.
  const std::size_t length = std::strlen(text);
  const platform::FileHandle output = files.BeginReplace(job.outputPath);
  if (output == platform::kInvalidFile) {
    release(text);
    return Fail(console, "Can't Create File %s\n", job.outputPath);
  }
  const bool wrote = files.Write(output, text, static_cast<std::uint32_t>(length));
  if (!files.EndReplace(output, wrote)) {
    release(text);
    return Fail(console, "Can't Write File %s\n", job.outputPath);
  }
  if (written != nullptr) {
    written->Inspect(inputPath, header, static_cast<std::int32_t>(size), text,
                     static_cast<std::int32_t>(length), cutAtNul);
  }
  release(text);
  std::fputs("Completed\n", console);
  std::fflush(console);
  return true;
}

}  // namespace protowrap

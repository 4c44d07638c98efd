#include "wrap/conversion_job.h"

#include <cstdlib>
#include <cstring>

#include "platform/process.h"
#include "wrap/header_check.h"
#include "wrap/rewrite_rules.h"

namespace protowrap {

namespace {

// The configuration value buffer, shared by the jobs: each job fills it before it uses it.
char valueBuffer[platform::kProfileValueSize];

// Prints a failure line and returns the job's result for it.
bool Fail(std::FILE* console, const char* format, const char* path) {
  std::fprintf(console, format, path);
  std::fflush(console);
  return false;
}

// Reads the whole input into a new terminated block. On failure prints the line, releases
// everything and returns nullptr.
char* ReadInput(platform::FileSystem& files, const char* path, std::FILE* console) {
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
  }
  files.Close(input);
  if (failure != nullptr) {
    Fail(console, failure, path);
  }
  return text;
}

// Where the warnings of one header go.
struct WarningTarget {
  std::FILE* stream;
  const char* path;
};

void PrintHeaderWarning(void* context, const HeaderWarning& warning) {
  const auto* target = static_cast<const WarningTarget*>(context);
  platform::PrintWarning(target->stream, target->path, warning.line, warning.column,
                         static_cast<int>(warning.problem), warning.message);
}

}  // namespace

bool RunConversion(const ConversionJob& job, platform::FileSystem& files, std::FILE* console,
                   std::FILE* diagnostics) {
  files.GetProfileString(kConfigSection, job.configKey, "", valueBuffer, sizeof valueBuffer,
                         kConfigPath);
  const char* inputPath = valueBuffer;
  char* input = ReadInput(files, inputPath, console);
  if (input == nullptr) {
    return false;
  }

  // The input stays until the check has located its warnings in it.
  ReplaceStatus status = ReplaceStatus::kUnchanged;
  char* text = ApplyRewriteRules(input, &status, diagnostics != nullptr);
  if (text == nullptr) {
    if (diagnostics != nullptr) {
      std::free(input);
    }
    return Fail(console,
                status == ReplaceStatus::kTooLong ? "File Too Large %s\n" : "Out Of Memory %s\n",
                inputPath);
  }
  const auto release = [&] {
    if (text != input && diagnostics != nullptr) {
      std::free(input);
    }
    std::free(text);
  };

  const std::size_t length = std::strlen(text);
  const platform::FileHandle output = files.CreateForWrite(job.outputPath);
  if (output == platform::kInvalidFile) {
    release();
    return Fail(console, "Can't Create File %s\n", job.outputPath);
  }
  const bool written = files.Write(output, text, static_cast<std::uint32_t>(length));
  const bool closed = files.Close(output);
  if (!written || !closed) {
    release();
    return Fail(console, "Can't Write File %s\n", job.outputPath);
  }
  if (diagnostics != nullptr) {
    WarningTarget target{diagnostics, inputPath};
    CheckWrapHeader(input, static_cast<std::int32_t>(std::strlen(input)), text,
                    static_cast<std::int32_t>(length), PrintHeaderWarning, &target);
    std::fflush(diagnostics);
  }
  release();
  std::fputs("Completed\n", console);
  std::fflush(console);
  return true;
}

bool RunConversion(const ConversionJob& job) {
  return RunConversion(job, platform::SystemFileSystem(), stdout, stderr);
}

}  // namespace protowrap

// protowrap: rewrites the CG and CW protocol-definition headers named in ./Talvenor.ini into
// ./Protocol_CG.WRAP.h and ./Protocol_CW.WRAP.h. Always exits 0, since builds run it as a step
// and read its result lines. "--help" and "--version" answer and touch no file;
// "--warning-limit=N" sets how many warnings a header shows; any other argument is ignored with a
// warning, as arguments always were.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "app/header_warnings.h"
#include "config/configuration.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "wrap/conversion_job.h"

#ifndef PROTOWRAP_VERSION
#define PROTOWRAP_VERSION "unknown"
#endif

namespace {

constexpr const char* kUsage =
    "Usage: protowrap [--warning-limit=N] | --help | --version\n"
    "\n"
    "Rewrites the protocol-definition headers named by CG_FILE_PATH and CW_FILE_PATH in\n"
    "section [CONFIG] of ./Talvenor.ini into ./Protocol_CG.WRAP.h and ./Protocol_CW.WRAP.h,\n"
    "and prints one result line per family (\"Completed\" when its wrap header is written).\n"
    "The exit status is always 0: read the lines.\n"
    "\n"
    "Where a header does not fit the rules, its wrap header will not compile: warnings on\n"
    "standard error say where and why, at most %d per header, then one line that counts the\n"
    "rest by code.\n"
    "\n"
    "  --warning-limit=N  show at most N warnings per header; 0 shows them all\n"
    "  -h, --help         print this text and exit\n"
    "  --version          print the version and exit\n";

constexpr std::string_view kWarningLimit = "--warning-limit=";

bool Is(const char* argument, const char* name) {
  return name != nullptr && std::strcmp(argument, name) == 0;
}

// "--warning-limit=N" with N digits only (no sign): N in *limit. A number beyond what a limit
// holds shows every warning, as a header has fewer than that.
bool ParseWarningLimit(const char* argument, std::int32_t* limit) {
  const std::string_view text(argument);
  if (text.substr(0, kWarningLimit.size()) != kWarningLimit) {
    return false;
  }
  const std::string_view digits = text.substr(kWarningLimit.size());
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) {
    return false;
  }
  std::int64_t n = 0;
  for (const char c : digits) {
    n = n * 10 + (c - '0');
    if (n > INT32_MAX) {
      *limit = INT32_MAX;
      return true;
    }
  }
  *limit = static_cast<std::int32_t>(n);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  protowrap::platform::PrepareProcess();
  // --help wins over --version, wherever each stands.
  bool help = false;
  bool version = false;
  for (int i = 1; i < argc; ++i) {
    help = help || Is(argv[i], "--help") || Is(argv[i], "-h") ||
           Is(argv[i], protowrap::platform::PlatformHelpSwitch());
    version = version || Is(argv[i], "--version");
  }
  if (help) {
    std::printf(kUsage, protowrap::check::WarningReport::kDefaultLimit);
    return 0;
  }
  if (version) {
    std::fputs("protowrap " PROTOWRAP_VERSION "\n", stdout);
    return 0;
  }
  protowrap::app::WarningOptions warnings;
  warnings.stream = stderr;
  for (int i = 1; i < argc; ++i) {
    if (!ParseWarningLimit(argv[i], &warnings.limit)) {
      std::fprintf(stderr, "protowrap: warning: ignoring argument '%s'\n", argv[i]);
    }
  }
  // Each job converts its header, then the check reads what it wrote.
  protowrap::platform::FileSystem& files = protowrap::platform::SystemFileSystem();
  protowrap::app::HeaderWarnings check(files, warnings);
  for (const protowrap::ConversionJob& job : protowrap::kConversionJobs) {
    protowrap::RunConversion(job, protowrap::config::SystemConfiguration(), files, stdout, &check);
  }
  return 0;
}

// protowrap: rewrites the CG and CW protocol-definition headers named in ./Talvenor.ini into
// ./Protocol_CG.WRAP.h and ./Protocol_CW.WRAP.h. Always exits 0, since builds run it as a step
// and read its result lines. "--help" and "--version" answer and touch no file; any other
// argument is ignored with a warning, as arguments always were.
#include <cstdio>
#include <cstring>

#include "platform/process.h"
#include "wrap/conversion_job.h"

#ifndef PROTOWRAP_VERSION
#define PROTOWRAP_VERSION "unknown"
#endif

namespace {

constexpr const char* kUsage =
    "Usage: protowrap [--help | --version]\n"
    "\n"
    "Rewrites the protocol-definition headers named by CG_FILE_PATH and CW_FILE_PATH in\n"
    "section [CONFIG] of ./Talvenor.ini into ./Protocol_CG.WRAP.h and ./Protocol_CW.WRAP.h,\n"
    "and prints one result line per family (\"Completed\" when its wrap header is written).\n"
    "The exit status is always 0: read the lines.\n"
    "\n"
    "  -h, --help     print this text and exit\n"
    "  --version      print the version and exit\n";

bool Is(const char* argument, const char* name) {
  return name != nullptr && std::strcmp(argument, name) == 0;
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
  if (help || version) {
    std::fputs(help ? kUsage : "protowrap " PROTOWRAP_VERSION "\n", stdout);
    return 0;
  }
  for (int i = 1; i < argc; ++i) {
    std::fprintf(stderr, "protowrap: warning: ignoring argument '%s'\n", argv[i]);
  }
  for (const protowrap::ConversionJob& job : protowrap::kConversionJobs) {
    protowrap::RunConversion(job);
  }
  return 0;
}

#include "platform/process.h"

namespace protowrap::platform {

void PrepareProcess() {
  // The Windows heap serves large blocks from fresh virtual memory either way, and a failed
  // write is an error code, never a signal.
}

const char* PlatformHelpSwitch() {
  return "/?";
}

void PrintWarning(std::FILE* stream, const char* path, long line, long column, int code,
                  const char* message) {
  if (column > 0) {
    std::fprintf(stream, "%s(%ld,%ld): warning PW%03d: %s\n", path, line, column, code, message);
  } else {
    std::fprintf(stream, "%s(%ld): warning PW%03d: %s\n", path, line, code, message);
  }
}

}  // namespace protowrap::platform

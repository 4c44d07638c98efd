// The process on Windows, where nothing needs setting up.
#include "platform/process.h"

namespace protowrap::platform {

void PrepareProcess() {
  // The Windows heap serves large blocks from fresh virtual memory either way, and a failed
  // write is an error code, never a signal.
}

const char* PlatformHelpSwitch() {
  return "/?";
}

bool ToolsReadMsBuildWarnings() {
  return true;
}

}  // namespace protowrap::platform

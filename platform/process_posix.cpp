// The process on Linux and other POSIX systems: heap settings, signals, and what the tools read.
#include <csignal>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "platform/process.h"

namespace protowrap::platform {

void PrepareProcess() {
#if defined(__GLIBC__)
  // Blocks from kOwnMappingSize (4 MiB) up get mappings of their own, so resizing one for reuse
  // (std::realloc of the block a rule supersedes) moves its pages instead of copying its bytes or
  // faulting in fresh ones, and releasing one returns its memory at once. glibc's own threshold
  // rises to 32 MiB as blocks are released, which would put large texts on the heap, where a resize
  // copies. Smaller texts stay on the heap, and what they release there stays mapped for the
  // next rule's block (fixing the threshold also fixes trimming at 128 KiB, which would hand
  // that memory back after every rule and fault it in again for the next).
  mallopt(M_MMAP_THRESHOLD, static_cast<int>(kOwnMappingSize));
  mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
#endif
  // A reader that went away (protowrap | head) must cost a result line, not the other job; a
  // file-size limit must fail the write ("Can't Write File"), not kill the process mid-file.
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
}

const char* PlatformHelpSwitch() {
  return nullptr;
}

bool ToolsReadMsBuildWarnings() {
  return false;
}

}  // namespace protowrap::platform

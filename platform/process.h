// What the process sets up before it converts anything: heap settings and, where the platform
// has them, signals that must not end a run halfway. One implementation per platform
// (process_posix.cpp, process_win32.cpp); the build picks one.
#pragma once

#include <cstdio>

namespace protowrap::platform {

/// Prepares the process for a run:
/// - the heap for what the conversion does: a few large blocks, each resized into a later rule's
///   result once superseded. Where the allocator allows, large blocks get mappings of their own,
///   so a resize moves their pages instead of copying or faulting in fresh ones;
/// - signals that would end the process on a failed write (a closed pipe, a file-size limit)
///   are ignored, so the write reports its failure and both jobs still run.
void PrepareProcess();

/// A platform's own spelling of the request for help ("/?" on Windows), or nullptr.
const char* PlatformHelpSwitch();

/// Prints one warning about a line of a file in the form the platform's tools read:
///   Linux:   <path>:<line>:<column>: warning: <message> [PW<code>]   (GCC and Clang's form)
///   Windows: <path>(<line>,<column>): warning PW<code>: <message>     (MSBuild's form)
void PrintWarning(std::FILE* stream, const char* path, long line, long column, int code,
                  const char* message);

}  // namespace protowrap::platform

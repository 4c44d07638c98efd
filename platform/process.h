// The process: what it sets up before it converts anything (heap settings and, where the platform
// has them, signals that must not end a run halfway) and the platform's conventions that the entry
// follows (its help switch, the form of warnings its tools read). One implementation per platform
// (process_posix.cpp, process_win32.cpp); the build picks one.
#pragma once

#include <cstddef>

namespace protowrap::platform {

/// From this size up, blocks have mappings of their own where the platform's allocator allows
/// (PrepareProcess sets glibc so): std::realloc then moves their pages, neither copying bytes nor
/// faulting in fresh memory. Smaller blocks live on the heap, where a growing std::realloc copies.
inline constexpr std::size_t kOwnMappingSize = 4 * 1024 * 1024;

/// Prepares the process for a run:
/// - the heap for what the conversion does: a few large blocks, each resized into a later rule's
///   result once superseded. Where the allocator allows, large blocks get mappings of their own,
///   so a resize moves their pages instead of copying or faulting in fresh ones;
/// - signals that would end the process on a failed write (a closed pipe, a file-size limit)
///   are ignored, so the write reports its failure and both jobs still run.
void PrepareProcess();

/// A platform's own spelling of the request for help ("/?" on Windows), or nullptr.
const char* PlatformHelpSwitch();

/// Whether the platform's own tools read warnings in MSBuild's form (Visual Studio's Error List,
/// on Windows) rather than in GCC's (editors and CI log parsers, elsewhere).
bool ToolsReadMsBuildWarnings();

}  // namespace protowrap::platform

// The POSIX calls that the file layer and the configuration reader both make, each retried on
// interruption and never blocking on a FIFO or device.
#pragma once

#include <sys/types.h>

#include <cstddef>

namespace protowrap::platform::posix {

/// Opens `path` without blocking (a FIFO with no peer must not hang us) and returns the
/// descriptor, or -1 (also for a null or empty path). The caller checks what kind of file it got.
int OpenNonBlocking(const char* path, int flags, mode_t mode = 0);

/// The descriptor is a regular file.
bool IsRegularFile(int fd);

/// Makes later reads and writes of the descriptor block again.
bool ClearNonBlocking(int fd);

/// Reads up to `size` bytes, retrying short reads and interruptions; returns how many it got
/// (fewer only at the end of the file) or -1 on an error.
ssize_t ReadFully(int fd, char* buffer, std::size_t size);

}  // namespace protowrap::platform::posix

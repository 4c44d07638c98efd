// The file operations the conversion needs from the operating system.
// One implementation per platform (file_system_posix.cpp, file_system_win32.cpp); the build picks
// one. Tests substitute their own FileSystem to make any operation fail.
#pragma once

#include <cstdint>
#include <string_view>

namespace protowrap::platform {

/// An open file: a POSIX descriptor or a Win32 HANDLE, both of which fit.
using FileHandle = std::intptr_t;

/// The handle no open ever returns (-1 is also INVALID_HANDLE_VALUE).
inline constexpr FileHandle kInvalidFile = -1;

/// File operations. Every failure is a return value; nothing throws.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  /// Opens an existing regular file for reading, shared with other readers but not with writers:
  /// nobody may hold it open for writing (Win32) or hold an exclusive lock on it (POSIX)
  /// meanwhile. kInvalidFile when it is missing, not a regular file, not readable or held by a
  /// writer.
  virtual FileHandle OpenForRead(const char* path) = 0;

  /// The whole size of an open file, in bytes; false when it cannot be taken.
  virtual bool GetSize(FileHandle file, std::uint64_t* size) = 0;

  /// Reads exactly `size` bytes from the start of an open file; false on any error or when the
  /// file delivers fewer.
  virtual bool Read(FileHandle file, char* buffer, std::uint32_t size) = 0;

  /// Begins to replace the file at `path` (created when missing) with new text: returns a new
  /// temporary file beside it to write the text to, having removed what killed runs left of
  /// theirs. An existing file that cannot be opened for writing (read-only, a directory) is left
  /// exactly as it was: kInvalidFile, as when the temporary file cannot be created. A device or a
  /// pipe is written itself, as it cannot be replaced.
  virtual FileHandle BeginReplace(const char* path) = 0;

  /// Writes exactly `size` bytes; false on any error or when fewer were written.
  virtual bool Write(FileHandle file, const char* data, std::uint32_t size) = 0;

  /// Ends what BeginReplace began. With `commit`, the written text is flushed to the disk and the
  /// temporary file takes the place of the file at `path` in one step, with its permissions:
  /// readers see the old text or the new, never a mix. Otherwise, or when that fails (false), the
  /// temporary file is removed and the file at `path` stays whole as it was.
  virtual bool EndReplace(FileHandle file, bool commit) = 0;

  /// Closes a file opened for reading; false when the system reports an error.
  virtual bool Close(FileHandle file) = 0;
};

/// The operating system's own implementation.
FileSystem& SystemFileSystem();

/// The directory part of `path`: up to and with its last separator ('/', and on Windows '\\' and
/// a drive's ':'), or "" when it has none.
std::string_view DirectoryOf(std::string_view path);

/// Whether `path` names a file the same way from every directory (a root, and on Windows a drive
/// or a share).
bool IsAbsolutePath(std::string_view path);

/// Why ReadWholeFile gave no text.
enum class ReadFailure { kCannotOpen, kCannotRead, kTooLarge, kNoMemory };

/// Reads the whole file at `path` through `files` into a new block from std::malloc, its `*size`
/// bytes followed by a NUL; the file is closed again. A file of more than `maxSize` bytes is not
/// read (kTooLarge). Returns nullptr, with `*why`, on any failure, having released everything.
char* ReadWholeFile(FileSystem& files, const char* path, std::uint64_t maxSize, std::uint64_t* size,
                    ReadFailure* why);

}  // namespace protowrap::platform

// The files a header includes by a quoted name, found where the compilers look first and read
// for what they define, within bounds.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/file_system.h"

namespace protowrap::check {

/// A file that an include found.
struct IncludedFile {
  std::string path;
  std::string text;  ///< its bytes, read whole
};

/// Finds and reads the files of quoted includes: relative to the including file's directory, then
/// to the directory protowrap runs in, as the compilers look before their include path. Regular
/// files only, opened without waiting (never a FIFO or a device); each path is tried once, at most
/// kMaxPaths of them, and the files read hold at most `maxBytes` together. A file that cannot be
/// had is not found: what it might define stays unknown.
class IncludeReader {
 public:
  static constexpr std::size_t kMaxBytes = std::size_t{16} << 20;
  static constexpr std::size_t kMaxPaths = 1024;

  /// `headerPath`: the header's path, as protowrap opened it.
  IncludeReader(platform::FileSystem& files, std::string_view headerPath,
                std::size_t maxBytes = kMaxBytes);
  IncludeReader(const IncludeReader&) = delete;
  IncludeReader& operator=(const IncludeReader&) = delete;

  /// The file of `#include "name"` in the file at `includer` (empty: the header itself), or null.
  const IncludedFile* Find(std::string_view name, std::string_view includer);

  /// The header's path.
  std::string_view HeaderPath() const { return headerPath_; }

 private:
  const IncludedFile* Read(const std::string& path);

  platform::FileSystem& files_;
  std::string headerPath_;
  std::size_t left_;
  std::deque<IncludedFile> read_;  // never moved as it grows: callers hold pointers
  std::unordered_map<std::string, IncludedFile*> tried_;  // null: not found
};

}  // namespace protowrap::check

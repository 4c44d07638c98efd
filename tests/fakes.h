// Fakes for the tests of the conversion jobs and of the check's part in them: the configuration
// and the files in memory, where any file operation can be made to fail.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>

#include "config/configuration.h"
#include "platform/file_system.h"

namespace protowrap::testing {

using platform::FileHandle;
using platform::kInvalidFile;

/// The file operations that a FakeFileSystem can be made to fail: kCreate the start of a
/// replacement, kReplace its end (the rename).
enum class Op { kOpen, kSize, kRead, kShortRead, kCreate, kWrite, kReplace };

/// The configuration in memory: the keys of section CONFIG in ./Talvenor.ini.
class FakeConfiguration final : public config::Configuration {
 public:
  std::map<std::string, std::string> values;

  void GetValue(const char* section, const char* key, const char* defaultValue, char* buffer,
                std::uint32_t bufferSize, const char* iniPath) override {
    EXPECT_STREQ("CONFIG", section);
    EXPECT_STREQ("./Talvenor.ini", iniPath);
    EXPECT_EQ(512u, bufferSize);
    const auto found = values.find(key);
    const std::string value = found != values.end() ? found->second : defaultValue;
    std::snprintf(buffer, bufferSize, "%s", value.c_str());
  }
};

/// Files in memory; any operation can be made to fail.
class FakeFileSystem final : public platform::FileSystem {
 public:
  std::map<std::string, std::string> files;
  std::set<Op> failing;
  std::uint64_t reportedSize = 0;  // when not 0, GetSize answers this instead of the real size
  int reads = 0;
  int failFromRead = 0;  // when not 0, this read and all after it fail
  int temporaries = 0;   // the temporary files of replacements that have not ended

  FileHandle OpenForRead(const char* path) override {
    if (failing.count(Op::kOpen) != 0 || files.count(path) == 0) {
      return kInvalidFile;
    }
    return Track(path, false);
  }

  bool GetSize(FileHandle file, std::uint64_t* size) override {
    if (failing.count(Op::kSize) != 0) {
      return false;
    }
    *size = reportedSize != 0 ? reportedSize : files[open_.at(file).path].size();
    return true;
  }

  bool Read(FileHandle file, char* buffer, std::uint32_t size) override {
    ++reads;
    const std::string& content = files[open_.at(file).path];
    if (failing.count(Op::kRead) != 0 || (failFromRead != 0 && reads >= failFromRead)) {
      return false;
    }
    const std::size_t give = failing.count(Op::kShortRead) != 0 ? size / 2 : size;
    std::memcpy(buffer, content.data(), give);
    return give == size;
  }

  FileHandle BeginReplace(const char* path) override {
    if (failing.count(Op::kCreate) != 0) {
      return kInvalidFile;
    }
    const FileHandle handle = Track(path, true);
    ++temporaries;
    return handle;
  }

  bool Write(FileHandle file, const char* data, std::uint32_t size) override {
    std::string& content = open_.at(file).written;
    if (failing.count(Op::kWrite) != 0) {
      content.append(data, size / 2);  // a disk that filled up half way
      return false;
    }
    content.append(data, size);
    return true;
  }

  bool EndReplace(FileHandle file, bool commit) override {
    const OpenFile output = open_.at(file);
    open_.erase(file);
    --temporaries;  // renamed or removed: none is left behind
    if (!commit || failing.count(Op::kReplace) != 0) {
      return false;
    }
    files[output.path] = output.written;
    return true;
  }

  bool Close(FileHandle file) override {
    open_.erase(file);
    return true;
  }

  std::size_t OpenCount() const { return open_.size(); }

 private:
  struct OpenFile {
    std::string path;
    bool output;
    std::string written;  // an output's new text, until it replaces the old one
  };

  FileHandle Track(const char* path, bool output) {
    const FileHandle handle = next_++;
    open_[handle] = {path, output, {}};
    return handle;
  }

  std::map<FileHandle, OpenFile> open_;
  FileHandle next_ = 3;
};

/// What was printed on `stream`, which it closes.
inline std::string ReadBack(std::FILE* stream) {
  std::string printed;
  std::rewind(stream);
  char piece[4096];
  for (std::size_t got; (got = std::fread(piece, 1, sizeof piece, stream)) > 0;) {
    printed.append(piece, got);
  }
  std::fclose(stream);
  return printed;
}

}  // namespace protowrap::testing

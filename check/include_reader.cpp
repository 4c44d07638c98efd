// Finding and reading the files of a header's quoted includes, within their limits.
#include "check/include_reader.h"

#include <cstdlib>

namespace protowrap::check {

IncludeReader::IncludeReader(platform::FileSystem& files, std::string_view headerPath,
                             std::size_t maxBytes)
    : files_(files), headerPath_(headerPath), left_(maxBytes) {}

const IncludedFile* IncludeReader::Find(std::string_view name, std::string_view includer) {
  if (name.empty()) {
    return nullptr;
  }
  if (platform::IsAbsolutePath(name)) {
    return Read(std::string(name));
  }
  const std::string_view directory =
      platform::DirectoryOf(includer.empty() ? std::string_view(headerPath_) : includer);
  if (!directory.empty()) {
    std::string beside(directory);
    beside.append(name);
    if (const IncludedFile* file = Read(beside)) {
      return file;
    }
  }
  return Read(std::string(name));
}

const IncludedFile* IncludeReader::Read(const std::string& path) {
  if (const auto tried = tried_.find(path); tried != tried_.end()) {
    return tried->second;
  }
  if (tried_.size() >= kMaxPaths) {
    return nullptr;
  }
  IncludedFile*& entry = tried_[path];
  std::uint64_t size = 0;
  platform::ReadFailure why = platform::ReadFailure::kCannotOpen;
  char* text = platform::ReadWholeFile(files_, path.c_str(), left_, &size, &why);
  if (text == nullptr) {
    return nullptr;
  }
  left_ -= static_cast<std::size_t>(size);
  IncludedFile& file = read_.emplace_back();
  entry = &file;
  file.path = path;
  try {
    file.text.assign(text, static_cast<std::size_t>(size));
  } catch (...) {
    // Only when memory runs out (std::bad_alloc), which no test provokes here: the file's
    // block is released as it passes.
    std::free(text);
    throw;
  }
  std::free(text);
  return &file;
}

}  // namespace protowrap::check

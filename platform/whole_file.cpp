// Reading a whole file into one terminated block, through any FileSystem (shared by the
// platforms, which differ only below FileSystem).
#include <cstdlib>

#include "platform/file_system.h"

namespace protowrap::platform {

char* ReadWholeFile(FileSystem& files, const char* path, std::uint64_t maxSize, std::uint64_t* size,
                    ReadFailure* why) {
  const FileHandle input = files.OpenForRead(path);
  if (input == kInvalidFile) {
    *why = ReadFailure::kCannotOpen;
    return nullptr;
  }
  char* text = nullptr;
  if (!files.GetSize(input, size)) {
    *why = ReadFailure::kCannotRead;
  } else if (*size > maxSize) {
    *why = ReadFailure::kTooLarge;
  } else if ((text = static_cast<char*>(std::malloc(*size + 1))) == nullptr) {
    *why = ReadFailure::kNoMemory;
  } else if (!files.Read(input, text, static_cast<std::uint32_t>(*size))) {
    *why = ReadFailure::kCannotRead;
    std::free(text);
    text = nullptr;
  } else {
    text[*size] = '\0';
  }
  files.Close(input);
  return text;
}

}  // namespace protowrap::platform

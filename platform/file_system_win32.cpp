// The file layer on Windows: the Win32 calls themselves. An input is opened with FILE_SHARE_READ:
// other readers (another build, a virus scanner, an indexer) may read it meanwhile, but a file
// that anyone holds open for writing, or without sharing, cannot be had. An output is opened with
// share mode 0, so nobody else can open it while it is written.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "platform/file_system.h"

namespace protowrap::platform {

namespace {

HANDLE AsHandle(FileHandle file) {
  return reinterpret_cast<HANDLE>(file);
}

FileHandle FromHandle(HANDLE handle) {
  return handle == INVALID_HANDLE_VALUE ? kInvalidFile : reinterpret_cast<FileHandle>(handle);
}

class Win32FileSystem final : public FileSystem {
 public:
  FileHandle OpenForRead(const char* path) override {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    // Devices (CON, NUL, COM1) and pipes open too; reading CON would wait for a keyboard.
    if (file != INVALID_HANDLE_VALUE && GetFileType(file) != FILE_TYPE_DISK) {
      CloseHandle(file);
      file = INVALID_HANDLE_VALUE;
    }
    return FromHandle(file);
  }

  bool GetSize(FileHandle file, std::uint64_t* size) override {
    DWORD high = 0;
    const DWORD low = GetFileSize(AsHandle(file), &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
      return false;
    }
    *size = (static_cast<std::uint64_t>(high) << 32) | low;
    return true;
  }

  bool Read(FileHandle file, char* buffer, std::uint32_t size) override {
    DWORD got = 0;
    return ReadFile(AsHandle(file), buffer, size, &got, nullptr) != 0 && got == size;
  }

  FileHandle CreateForWrite(const char* path) override {
    return FromHandle(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  }

  bool Write(FileHandle file, const char* data, std::uint32_t size) override {
    DWORD put = 0;
    return WriteFile(AsHandle(file), data, size, &put, nullptr) != 0 && put == size;
  }

  bool Close(FileHandle file) override { return CloseHandle(AsHandle(file)) != 0; }
};

}  // namespace

FileSystem& SystemFileSystem() {
  static Win32FileSystem system;
  return system;
}

std::string_view DirectoryOf(std::string_view path) {
  const std::size_t separator = path.find_last_of("/\\:");
  return separator == std::string_view::npos ? std::string_view{} : path.substr(0, separator + 1);
}

bool IsAbsolutePath(std::string_view path) {
  return (!path.empty() && (path[0] == '/' || path[0] == '\\')) ||
         (path.size() >= 2 && path[1] == ':');
}

}  // namespace protowrap::platform

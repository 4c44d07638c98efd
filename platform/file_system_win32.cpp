// The file layer on Windows: the Win32 calls themselves, in their wide forms, which take paths of
// any length (an absolute path longer than MAX_PATH gets the "\\?\" prefix). An input is opened
// with FILE_SHARE_READ: other readers (another build, a virus scanner, an indexer) may read it
// meanwhile, but a file that anyone holds open for writing, or without sharing, cannot be had. An
// output is replaced whole: its new text goes to a temporary file beside it, which ReplaceFileW
// (or MoveFileExW) puts in its place.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <map>
#include <string>

#include "platform/file_system.h"

namespace protowrap::platform {

namespace {

// The temporary files of a run are named "<output>.protowrap-<process id>-<number>".
constexpr wchar_t kTemporaryMark[] = L".protowrap-";

HANDLE AsHandle(FileHandle file) {
  return reinterpret_cast<HANDLE>(file);
}

FileHandle FromHandle(HANDLE handle) {
  return handle == INVALID_HANDLE_VALUE ? kInvalidFile : reinterpret_cast<FileHandle>(handle);
}

// A path as the wide calls take it: converted from the process's code page (UTF-8, by the
// manifest), and, past MAX_PATH, made absolute with the "\\?\" prefix that lifts the limit.
std::wstring Wide(const char* path) {
  if (path == nullptr || *path == '\0') {
    return {};
  }
  const int size = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
  if (size <= 0) {
    return {};
  }
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_ACP, 0, path, -1, wide.data(), size);
  wide.pop_back();  // the terminating NUL
  if (wide.size() < MAX_PATH - 12 || wide.rfind(L"\\\\?\\", 0) == 0) {
    return wide;
  }
  const DWORD need = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (need == 0) {
    return wide;
  }
  std::wstring full(need, L'\0');
  const DWORD got = GetFullPathNameW(wide.c_str(), need, full.data(), nullptr);
  full.resize(got);
  if (full.rfind(L"\\\\", 0) == 0) {
    return L"\\\\?\\UNC\\" + full.substr(2);  // a share: \\server\share\...
  }
  return L"\\\\?\\" + full;
}

// Removes the temporary files that killed runs left beside `target`: a running one holds its own
// open without sharing, so that it cannot be removed.
void RemoveLeftovers(const std::wstring& target) {
  const std::size_t separator = target.find_last_of(L"\\/");
  const std::wstring directory =
      separator == std::wstring::npos ? std::wstring() : target.substr(0, separator + 1);
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((target + kTemporaryMark + L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    return;
  }
  do {
    DeleteFileW((directory + found.cFileName).c_str());
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

class Win32FileSystem final : public FileSystem {
 public:
  FileHandle OpenForRead(const char* path) override {
    const std::wstring wide = Wide(path);
    if (wide.empty()) {
      return kInvalidFile;
    }
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
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

  FileHandle BeginReplace(const char* path) override {
    std::wstring target = Wide(path);
    if (target.empty()) {
      return kInvalidFile;
    }
    const DWORD attributes = GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists) {
      // The output must be one that can be written, or it is left alone.
      if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) {
        return kInvalidFile;
      }
      HANDLE file = CreateFileW(target.c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file == INVALID_HANDLE_VALUE) {
        return kInvalidFile;
      }
      if (GetFileType(file) != FILE_TYPE_DISK) {
        pending_[file] = {};  // a device (NUL) is written as it is
        return FromHandle(file);
      }
      CloseHandle(file);
    }
    RemoveLeftovers(target);
    std::wstring temporary = target + kTemporaryMark + std::to_wstring(GetCurrentProcessId()) +
                             L"-" + std::to_wstring(++made_);
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      return kInvalidFile;
    }
    pending_[file] = {std::move(temporary), std::move(target), exists};
    return FromHandle(file);
  }

  bool Write(FileHandle file, const char* data, std::uint32_t size) override {
    DWORD put = 0;
    return WriteFile(AsHandle(file), data, size, &put, nullptr) != 0 && put == size;
  }

  bool EndReplace(FileHandle file, bool commit) override {
    const auto found = pending_.find(AsHandle(file));
    if (found == pending_.end()) {
      return false;
    }
    const Pending pending = std::move(found->second);
    pending_.erase(found);
    if (pending.temporary.empty()) {
      return CloseHandle(AsHandle(file)) != 0 && commit;
    }
    bool ok = commit && FlushFileBuffers(AsHandle(file)) != 0;
    ok = CloseHandle(AsHandle(file)) != 0 && ok;
    if (ok) {
      // ReplaceFileW keeps the old file's attributes and access rights; where it cannot (a file
      // system without them), MoveFileExW still replaces it in one step.
      ok = (pending.existed &&
            ReplaceFileW(pending.target.c_str(), pending.temporary.c_str(), nullptr,
                         REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0) ||
           MoveFileExW(pending.temporary.c_str(), pending.target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    }
    if (!ok) {
      DeleteFileW(pending.temporary.c_str());
    }
    return ok;
  }

  bool Close(FileHandle file) override { return CloseHandle(AsHandle(file)) != 0; }

 private:
  struct Pending {
    std::wstring temporary;  // empty: the output itself is written
    std::wstring target;
    bool existed = false;
  };
  std::map<HANDLE, Pending> pending_;
  unsigned made_ = 0;
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

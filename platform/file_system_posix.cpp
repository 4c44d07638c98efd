// The file layer on POSIX systems. Access is guarded by flock(2) locks, the locks that the flock(1)
// command takes: a reader takes a shared lock, which other readers share, and a writer an
// exclusive one, so a build script can hold a header while it edits it. Nothing here ever blocks:
// files are opened non-blocking and checked before they are read, and locks are not waited for.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file_system.h"
#include "platform/posix_io.h"

namespace protowrap::platform {

namespace {

using posix::ClearNonBlocking;
using posix::IsRegularFile;
using posix::OpenNonBlocking;
using posix::ReadFully;

int AsFd(FileHandle file) {
  return static_cast<int>(file);
}

// Takes an flock(2) lock without waiting: LOCK_SH for a reader, which other readers share and
// any writer's LOCK_EX keeps out, or LOCK_EX for a writer.
bool Lock(int fd, int operation) {
  int result;
  do {
    result = ::flock(fd, operation | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  return result == 0;
}

class PosixFileSystem final : public FileSystem {
 public:
  FileHandle OpenForRead(const char* path) override {
    const int fd = OpenNonBlocking(path, O_RDONLY);
    if (fd < 0) {
      return kInvalidFile;
    }
    if (!IsRegularFile(fd) || !Lock(fd, LOCK_SH) || !ClearNonBlocking(fd)) {
      ::close(fd);
      return kInvalidFile;
    }
    return fd;
  }

  bool GetSize(FileHandle file, std::uint64_t* size) override {
    struct stat info {};
    if (::fstat(AsFd(file), &info) != 0 || info.st_size < 0) {
      return false;
    }
    *size = static_cast<std::uint64_t>(info.st_size);
    return true;
  }

  bool Read(FileHandle file, char* buffer, std::uint32_t size) override {
    return ReadFully(AsFd(file), buffer, size) == static_cast<ssize_t>(size);
  }

  FileHandle CreateForWrite(const char* path) override {
    // No O_TRUNC: the file is truncated only once it is locked, so a file that another process
    // holds keeps its content.
    const int fd = OpenNonBlocking(path, O_WRONLY | O_CREAT, 0666);
    if (fd < 0) {
      return kInvalidFile;
    }
    bool ok = Lock(fd, LOCK_EX);
    if (ok && IsRegularFile(fd)) {
      int truncated;
      do {
        truncated = ::ftruncate(fd, 0);
      } while (truncated != 0 && errno == EINTR);
      ok = truncated == 0;
    }
    if (!ok || !ClearNonBlocking(fd)) {
      ::close(fd);
      return kInvalidFile;
    }
    return fd;
  }

  bool Write(FileHandle file, const char* data, std::uint32_t size) override {
    std::size_t done = 0;
    while (done < size) {
      const ssize_t put = ::write(AsFd(file), data + done, size - done);
      if (put < 0 && errno == EINTR) {
        continue;
      }
      if (put <= 0) {
        return false;
      }
      done += static_cast<std::size_t>(put);
    }
    return true;
  }

  bool Close(FileHandle file) override {
    // On Linux the descriptor is gone even when close reports EINTR: never close it twice.
    return ::close(AsFd(file)) == 0 || errno == EINTR;
  }
};

}  // namespace

FileSystem& SystemFileSystem() {
  static PosixFileSystem system;
  return system;
}

std::string_view DirectoryOf(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? std::string_view{} : path.substr(0, slash + 1);
}

bool IsAbsolutePath(std::string_view path) {
  return !path.empty() && path[0] == '/';
}

}  // namespace protowrap::platform

// The file layer on POSIX systems. Files are read, and outputs replaced, under a shared flock(2)
// lock, the lock that the flock(1) command takes, so a build script can hold a header or a wrap
// header with an exclusive one while it edits or reads it; two runs share theirs. An output is
// replaced whole: its new text goes to a temporary file beside it, which rename(2) puts in its
// place. Nothing here ever blocks: files are opened non-blocking and checked before they are
// used, and locks are not waited for.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <map>
#include <string>

#include "platform/file_system.h"
#include "platform/posix_io.h"

namespace protowrap::platform {

namespace {

using posix::ClearNonBlocking;
using posix::IsRegularFile;
using posix::OpenNonBlocking;
using posix::ReadFully;

// The temporary files of a run are named "<output>.protowrap-<process id>-<number>".
constexpr std::string_view kTemporaryMark = ".protowrap-";

int AsFd(FileHandle file) {
  return static_cast<int>(file);
}

// Takes an flock(2) lock without waiting: LOCK_SH, which others' LOCK_SH share and a LOCK_EX
// (flock --exclusive) keeps out.
bool Lock(int fd, int operation) {
  int result;
  do {
    result = ::flock(fd, operation | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  return result == 0;
}

bool CloseFd(int fd) {
  // On Linux the descriptor is gone even when close reports EINTR: never close it twice.
  return ::close(fd) == 0 || errno == EINTR;
}

// Removes the temporary files that runs which no longer live left beside `path`.
void RemoveLeftovers(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::string directory = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const std::string prefix =
      (slash == std::string::npos ? path : path.substr(slash + 1)) + std::string(kTemporaryMark);
  DIR* entries = ::opendir(directory.c_str());
  if (entries == nullptr) {
    return;
  }
  while (const dirent* entry = ::readdir(entries)) {
    const std::string_view name(entry->d_name);
    if (!name.starts_with(prefix)) {
      continue;
    }
    const long owner = std::strtol(entry->d_name + prefix.size(), nullptr, 10);
    if (owner > 0 && owner <= INT_MAX && ::kill(static_cast<pid_t>(owner), 0) != 0 &&
        errno == ESRCH) {
      ::unlink((directory + std::string(name)).c_str());  // its run was killed
    }
  }
  ::closedir(entries);
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

  FileHandle BeginReplace(const char* path) override {
    if (path == nullptr || *path == '\0') {
      return kInvalidFile;
    }
    // A link is followed: the file it names gets the new text, and the link stays.
    std::string target = path;
    struct stat info {};
    if (::lstat(path, &info) == 0 && S_ISLNK(info.st_mode)) {
      char* resolved = ::realpath(path, nullptr);
      if (resolved == nullptr) {
        return kInvalidFile;
      }
      target = resolved;
      std::free(resolved);
    }
    const bool exists = ::stat(target.c_str(), &info) == 0;
    mode_t mode = 0666;
    int held = -1;
    if (exists) {
      // The output must be one that can be written, and nobody may hold it exclusively, or it
      // is left alone; it stays locked until its replacement is in place.
      held = OpenNonBlocking(target.c_str(), O_WRONLY);
      if (held < 0) {
        return kInvalidFile;
      }
      if (!S_ISREG(info.st_mode)) {
        // A device or a pipe (/dev/null, a full disk's /dev/full) is written as it is.
        if (!ClearNonBlocking(held)) {
          ::close(held);
          return kInvalidFile;
        }
        pending_[held] = {};
        return held;
      }
      if (!Lock(held, LOCK_SH)) {
        ::close(held);
        return kInvalidFile;
      }
      mode = info.st_mode & 07777;
    }
    RemoveLeftovers(target);
    std::string temporary = target + std::string(kTemporaryMark) + std::to_string(::getpid()) +
                            "-" + std::to_string(++made_);
    const int fd = OpenNonBlocking(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL, mode);
    // The old file's permissions, whatever the umask (a new file's come from the umask).
    if (fd < 0 || (exists && ::fchmod(fd, mode) != 0) || !ClearNonBlocking(fd)) {
      if (fd >= 0) {
        ::close(fd);
        ::unlink(temporary.c_str());
      }
      if (held >= 0) {
        ::close(held);
      }
      return kInvalidFile;
    }
    pending_[fd] = {std::move(temporary), std::move(target), held};
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

  bool EndReplace(FileHandle file, bool commit) override {
    const auto found = pending_.find(AsFd(file));
    if (found == pending_.end()) {
      return false;
    }
    const Pending pending = std::move(found->second);
    pending_.erase(found);
    const int fd = AsFd(file);
    if (pending.temporary.empty()) {
      return CloseFd(fd) && commit;  // a device or a pipe, written as it is
    }
    bool ok = commit;
    if (ok) {
      int synced;
      do {
        synced = ::fsync(fd);
      } while (synced != 0 && errno == EINTR);
      ok = synced == 0;
    }
    ok = CloseFd(fd) && ok;
    ok = ok && ::rename(pending.temporary.c_str(), pending.target.c_str()) == 0;
    if (!ok) {
      ::unlink(pending.temporary.c_str());
    }
    if (pending.held >= 0) {
      CloseFd(pending.held);
    }
    return ok;
  }

  bool Close(FileHandle file) override { return CloseFd(AsFd(file)); }

 private:
  struct Pending {
    std::string temporary;  // empty: the output itself is written
    std::string target;
    int held = -1;  // the old output, locked shared while it is replaced
  };
  std::map<int, Pending> pending_;
  unsigned made_ = 0;
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

// Tests of the POSIX file layer on real files in a scratch directory.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/file_system_test_util.h"
#include "platform/posix_io.h"
#include "tests/failing_calls.h"

namespace protowrap::platform {
namespace {

// A fresh scratch directory per test, removed afterwards.
class PosixFileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/protowrap-fs-XXXXXX";
    ASSERT_NE(nullptr, ::mkdtemp(name));
    dir_ = name;
    descriptors_ = OpenDescriptors();
  }
  // Every test ends with the descriptors it started with: no path, failed or not, leaves one
  // open (a leak that only valgrind's stage would otherwise see).
  void TearDown() override {
    EXPECT_EQ(descriptors_, OpenDescriptors());
    const std::string command = "rm -rf '" + dir_ + "'";
    EXPECT_EQ(0, std::system(command.c_str()));
  }

  // The entries of a directory, without "." and "..".
  static std::size_t EntriesOf(const char* directory) {
    std::size_t count = 0;
    if (DIR* entries = ::opendir(directory)) {
      while (const dirent* entry = ::readdir(entries)) {
        count += entry->d_name[0] != '.' ? 1 : 0;
      }
      ::closedir(entries);
    }
    return count;
  }

  static std::size_t OpenDescriptors() { return EntriesOf("/proc/self/fd"); }

  std::string Path(const char* name) const { return dir_ + "/" + name; }

  void Put(const char* name, const std::string& content) const {
    std::ofstream(Path(name), std::ios::binary) << content;
  }

  // The number of entries of the scratch directory.
  std::size_t Entries() const { return EntriesOf(dir_.c_str()); }

  std::string Get(const char* name) const {
    std::ifstream in(Path(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  // Another holder of the file's lock, as the flock command would be.
  int LockElsewhere(const char* name) const {
    const int fd = ::open(Path(name).c_str(), O_RDONLY);
    EXPECT_EQ(0, ::flock(fd, LOCK_EX | LOCK_NB));
    return fd;
  }

  FileSystem& files_ = SystemFileSystem();
  std::string dir_;
  std::size_t descriptors_ = 0;
};

TEST_F(PosixFileSystemTest, ReadsAWholeFileSharedWithReadersOnly) {
  const std::string content("line one\r\nline\0two\n", 19);
  Put("in.h", content);
  ExpectWholeSharedRead(files_, Path("in.h"), content);
}

TEST_F(PosixFileSystemTest, RefusesWhatIsNotAnOpenableRegularFile) {
  Put("locked.h", "x");
  const int holder = LockElsewhere("locked.h");
  ASSERT_EQ(0, ::mkdir(Path("dir").c_str(), 0700));
  ASSERT_EQ(0, ::mkfifo(Path("fifo").c_str(), 0600));  // no writer: must not hang
  for (const std::string& path : {Path("missing.h"), std::string(), Path("dir"), Path("fifo"),
                                  Path("locked.h"), std::string("/dev/null")}) {
    EXPECT_EQ(kInvalidFile, files_.OpenForRead(path.c_str())) << path;
  }
  ::close(holder);
  if (::geteuid() != 0) {  // root reads anything
    Put("secret.h", "x");
    ASSERT_EQ(0, ::chmod(Path("secret.h").c_str(), 0));
    EXPECT_EQ(kInvalidFile, files_.OpenForRead(Path("secret.h").c_str()));
  }
}

TEST_F(PosixFileSystemTest, ReplacesAnOutputWholeOrLeavesItAsItWas) {
  // A new output: written beside, then renamed into place, with the umask's permissions.
  const mode_t mask = ::umask(022);
  FileHandle out = files_.BeginReplace(Path("new.h").c_str());
  ASSERT_NE(kInvalidFile, out);
  EXPECT_TRUE(files_.Write(out, "abc\r\n", 5));
  EXPECT_FALSE(::access(Path("new.h").c_str(), F_OK) == 0) << "the output appears only whole";
  EXPECT_TRUE(files_.EndReplace(out, true));
  ::umask(mask);
  struct stat info {};
  ASSERT_EQ(0, ::stat(Path("new.h").c_str(), &info));
  EXPECT_EQ(0644u, info.st_mode & 0777u);
  EXPECT_EQ("abc\r\n", Get("new.h"));

  // An existing output keeps its permissions, and a reader of the old text reads it to its end.
  ASSERT_EQ(0, ::chmod(Path("new.h").c_str(), 0600));
  const int reader = ::open(Path("new.h").c_str(), O_RDONLY);
  out = files_.BeginReplace(Path("new.h").c_str());
  ASSERT_NE(kInvalidFile, out);
  EXPECT_TRUE(files_.Write(out, "longer text", 11));
  EXPECT_TRUE(files_.EndReplace(out, true));
  char old[8] = {};
  EXPECT_EQ(5, ::read(reader, old, sizeof old));
  ::close(reader);
  EXPECT_EQ("abc\r\n", std::string(old, 5));
  ASSERT_EQ(0, ::stat(Path("new.h").c_str(), &info));
  EXPECT_EQ(0600u, info.st_mode & 0777u);
  EXPECT_EQ("longer text", Get("new.h"));

  // A replacement given up on (a failed write) leaves the output as it was, and nothing beside.
  out = files_.BeginReplace(Path("new.h").c_str());
  ASSERT_NE(kInvalidFile, out);
  EXPECT_TRUE(files_.Write(out, "half", 4));
  EXPECT_FALSE(files_.EndReplace(out, false));
  EXPECT_EQ("longer text", Get("new.h"));
  EXPECT_EQ(1u, Entries());

  // Two replacements at once: each completes, and the output is one of them, whole.
  const FileHandle first = files_.BeginReplace(Path("new.h").c_str());
  const FileHandle second = files_.BeginReplace(Path("new.h").c_str());
  ASSERT_NE(kInvalidFile, first);
  ASSERT_NE(kInvalidFile, second);
  EXPECT_TRUE(files_.Write(first, "first", 5));
  EXPECT_TRUE(files_.Write(second, "second", 6));
  EXPECT_TRUE(files_.EndReplace(second, true));
  EXPECT_TRUE(files_.EndReplace(first, true));
  EXPECT_EQ("first", Get("new.h"));
  EXPECT_EQ(1u, Entries());

  // A link's file gets the text; the link stays.
  ASSERT_EQ(0, ::symlink("new.h", Path("link.h").c_str()));
  out = files_.BeginReplace(Path("link.h").c_str());
  ASSERT_NE(kInvalidFile, out);
  EXPECT_TRUE(files_.Write(out, "through", 7));
  EXPECT_TRUE(files_.EndReplace(out, true));
  EXPECT_EQ("through", Get("new.h"));
  ASSERT_EQ(0, ::lstat(Path("link.h").c_str(), &info));
  EXPECT_TRUE(S_ISLNK(info.st_mode));
}

TEST_F(PosixFileSystemTest, AnOutputIsEndedOnce) {
  // Ending it again is refused, and leaves alone the file that its number names by then.
  const std::string path = Path("out.h");
  const FileHandle out = files_.BeginReplace(path.c_str());
  ASSERT_NE(kInvalidFile, out);
  ASSERT_TRUE(files_.Write(out, "new", 3));
  ASSERT_TRUE(files_.EndReplace(out, true));
  const int reused = ::open("/dev/null", O_RDONLY);
  ASSERT_EQ(out, reused);  // the lowest free number
  EXPECT_FALSE(files_.EndReplace(out, true));
  EXPECT_NE(-1, ::fcntl(reused, F_GETFD));
  ::close(reused);
  EXPECT_EQ("new", Get("out.h"));
  EXPECT_EQ(1u, Entries());
}

TEST_F(PosixFileSystemTest, ReplacesWithStandardInputClosed) {
  // A build may start protowrap without standard input: descriptor 0 is then the first one a
  // replace opens (the old output, held for its lock), and it is closed again like any other.
  Put("old.h", "old");
  const int savedInput = ::dup(0);
  ASSERT_GE(savedInput, 0);
  ::close(0);
  const FileHandle out = files_.BeginReplace(Path("old.h").c_str());
  const bool began = out != kInvalidFile;
  const bool ended = began && files_.Write(out, "new", 3) && files_.EndReplace(out, true);
  const bool inputLeftOpen = ::fcntl(0, F_GETFD) != -1;
  ASSERT_EQ(0, ::dup2(savedInput, 0));
  ::close(savedInput);
  EXPECT_TRUE(began);
  EXPECT_TRUE(ended);
  EXPECT_FALSE(inputLeftOpen);
  EXPECT_EQ("new", Get("old.h"));
}

TEST_F(PosixFileSystemTest, LeavesAloneWhatItCannotWriteAndCleansUpAfterKilledRuns) {
  ASSERT_EQ(0, ::mkdir(Path("dir").c_str(), 0700));
  EXPECT_EQ(kInvalidFile, files_.BeginReplace(Path("dir").c_str()));
  EXPECT_EQ(kInvalidFile, files_.BeginReplace(Path("no/such/dir.h").c_str()));
  EXPECT_EQ(kInvalidFile, files_.BeginReplace(""));
  ASSERT_EQ(0, ::mkfifo(Path("fifo").c_str(), 0600));  // no reader: must not hang
  EXPECT_EQ(kInvalidFile, files_.BeginReplace(Path("fifo").c_str()));
  if (::geteuid() != 0) {  // root writes anything
    Put("readonly.h", "keep me");
    ASSERT_EQ(0, ::chmod(Path("readonly.h").c_str(), 0444));
    EXPECT_EQ(kInvalidFile, files_.BeginReplace(Path("readonly.h").c_str()));
    EXPECT_EQ("keep me", Get("readonly.h"));
  }
  // An output that another process holds locked alone, and one whose temporary file's name
  // would be too long for the file system: left as they were (and no descriptor stays open).
  Put("locked.h", "locked");
  const int holder = LockElsewhere("locked.h");
  EXPECT_EQ(kInvalidFile, files_.BeginReplace(Path("locked.h").c_str()));
  ::close(holder);
  EXPECT_EQ("locked", Get("locked.h"));
  const std::string longest(250, 'n');
  Put(longest.c_str(), "long");
  EXPECT_EQ(kInvalidFile, files_.BeginReplace(Path(longest.c_str()).c_str()));
  EXPECT_EQ("long", Get(longest.c_str()));
  // What a killed run left beside an output is removed by the next run; what a running one
  // writes stays.
  pid_t dead = ::fork();
  if (dead == 0) {
    ::_exit(0);
  }
  ASSERT_EQ(dead, ::waitpid(dead, nullptr, 0));
  const std::string killed = "out.h.protowrap-" + std::to_string(dead) + "-1";
  const std::string running = "out.h.protowrap-" + std::to_string(::getppid()) + "-1";
  // The largest process number a name can hold is one too (no process has it); past it, or 0,
  // the name is no run's.
  const std::string largest = "out.h.protowrap-2147483647-1";
  const std::string pastLargest = "out.h.protowrap-2147483648-1";
  const std::string zero = "out.h.protowrap-0-1";
  for (const std::string& name : {killed, running, largest, pastLargest, zero}) {
    Put(name.c_str(), "left");
  }
  const FileHandle out = files_.BeginReplace(Path("out.h").c_str());
  ASSERT_NE(kInvalidFile, out);
  EXPECT_TRUE(files_.EndReplace(out, true));
  EXPECT_NE(0, ::access(Path(killed.c_str()).c_str(), F_OK));
  EXPECT_NE(0, ::access(Path(largest.c_str()).c_str(), F_OK));
  EXPECT_EQ(0, ::access(Path(running.c_str()).c_str(), F_OK));
  EXPECT_EQ(0, ::access(Path(pastLargest.c_str()).c_str(), F_OK));
  EXPECT_EQ(0, ::access(Path(zero.c_str()).c_str(), F_OK));
}

TEST_F(PosixFileSystemTest, AFullDiskFailsTheWrite) {
  const FileHandle full = files_.BeginReplace("/dev/full");  // a device: written as it is
  ASSERT_NE(kInvalidFile, full);
  EXPECT_FALSE(files_.Write(full, "data", 4));
  EXPECT_FALSE(files_.EndReplace(full, false));
}

// While it lives, SIGUSR1 interrupts a blocked call (no SA_RESTART: it returns EINTR) and does
// nothing else; the handler before it comes back after.
struct InterruptingSignal {
  InterruptingSignal() {
    struct sigaction quiet {};
    quiet.sa_handler = [](int) {};
    ::sigemptyset(&quiet.sa_mask);
    quiet.sa_flags = 0;
    installed = ::sigaction(SIGUSR1, &quiet, &before) == 0;
  }
  ~InterruptingSignal() {
    if (installed) {
      ::sigaction(SIGUSR1, &before, nullptr);
    }
  }
  InterruptingSignal(const InterruptingSignal&) = delete;
  InterruptingSignal& operator=(const InterruptingSignal&) = delete;
  struct sigaction before {};
  bool installed = false;
};

// Waits for `child`, whose signals may still interrupt the wait; returns what waitpid did.
pid_t WaitThroughSignals(pid_t child, int* status) {
  pid_t waited;
  do {
    waited = ::waitpid(child, status, 0);
  } while (waited < 0 && errno == EINTR);
  return waited;
}

// An interruption that an earlier call left in errno does not make a successful open repeat
// (each repeat would hold one more descriptor, and a new output's would fail as existing).
TEST_F(PosixFileSystemTest, OpensOnceWhateverErrnoHeldBefore) {
  Put("old.h", "old");
  errno = EINTR;
  const FileHandle in = files_.OpenForRead(Path("old.h").c_str());
  ASSERT_NE(kInvalidFile, in);
  EXPECT_EQ(descriptors_ + 1, OpenDescriptors());
  EXPECT_TRUE(files_.Close(in));
  errno = EINTR;
  const FileHandle out = files_.BeginReplace(Path("new.h").c_str());
  ASSERT_NE(kInvalidFile, out);
  EXPECT_TRUE(files_.EndReplace(out, true));
  EXPECT_EQ(2u, Entries());
}

// With standard input closed, an input takes descriptor 0, which is as good as any.
TEST_F(PosixFileSystemTest, ReadsThroughDescriptor0) {
  Put("old.h", "old");
  const int saved = ::dup(0);
  ::close(0);
  const FileHandle in = files_.OpenForRead(Path("old.h").c_str());
  char buffer[3] = {};
  const bool read = in != kInvalidFile && files_.Read(in, buffer, 3);
  const bool closed = in != kInvalidFile && files_.Close(in);
  if (saved >= 0) {
    ::dup2(saved, 0);
    ::close(saved);
  }
  EXPECT_TRUE(read);
  EXPECT_TRUE(closed);
  EXPECT_EQ("old", std::string(buffer, 3));
}

// A read that signals interrupt, and that the writer feeds in pieces, goes on to the end. The
// writer is a child process (a thread would leave the heap a second arena, which the memory
// tests would count as taken).
TEST_F(PosixFileSystemTest, ReadingGoesOnThroughSignalsAndShortReads) {
  int pipeEnds[2];
  ASSERT_EQ(0, ::pipe(pipeEnds));
  const InterruptingSignal signal;
  ASSERT_TRUE(signal.installed);
  const pid_t reader = ::getpid();
  const pid_t writer = ::fork();
  ASSERT_LE(0, writer);
  if (writer == 0) {
    ::close(pipeEnds[0]);
    for (const char* piece : {"ab", "c", "de"}) {
      for (int i = 0; i < 3; ++i) {
        ::usleep(10000);
        ::kill(reader, SIGUSR1);
      }
      if (::write(pipeEnds[1], piece, std::strlen(piece)) !=
          static_cast<ssize_t>(std::strlen(piece))) {
        ::_exit(1);
      }
    }
    ::_exit(0);
  }
  ::close(pipeEnds[1]);
  char buffer[8] = {};
  const ssize_t got = posix::ReadFully(pipeEnds[0], buffer, sizeof buffer);
  int status = -1;
  EXPECT_EQ(writer, WaitThroughSignals(writer, &status));
  EXPECT_EQ(0, status);
  ::close(pipeEnds[0]);
  EXPECT_EQ(5, got);
  EXPECT_EQ("abcde", std::string(buffer, 5));
}

// A read that fails says so with -1, as its callers expect: a directory cannot be read.
TEST_F(PosixFileSystemTest, AFailingReadAnswersMinusOne) {
  const int directory = ::open(".", O_RDONLY);
  ASSERT_GE(directory, 0);
  char buffer[8];
  EXPECT_EQ(-1, posix::ReadFully(directory, buffer, sizeof buffer));
  ::close(directory);
}

// A write into a full pipe that signals interrupt before any byte goes goes on to the end.
TEST_F(PosixFileSystemTest, WritingGoesOnThroughSignals) {
  int pipeEnds[2];
  ASSERT_EQ(0, ::pipe(pipeEnds));
  // Fill the pipe, so that the next write blocks at once.
  ASSERT_EQ(0, ::fcntl(pipeEnds[1], F_SETFL, O_NONBLOCK));
  const std::string block(4096, 'f');
  std::size_t filled = 0;
  for (ssize_t put = 0; put >= 0; put = ::write(pipeEnds[1], block.data(), block.size())) {
    filled += static_cast<std::size_t>(put);
  }
  ASSERT_EQ(0, ::fcntl(pipeEnds[1], F_SETFL, 0));
  const InterruptingSignal signal;
  ASSERT_TRUE(signal.installed);
  const std::string data(100000, 'd');
  const pid_t writer = ::getpid();
  const pid_t drainer = ::fork();
  ASSERT_LE(0, drainer);
  if (drainer == 0) {
    ::close(pipeEnds[1]);
    for (int i = 0; i < 3; ++i) {
      ::usleep(10000);
      ::kill(writer, SIGUSR1);
    }
    std::size_t got = 0;
    char buffer[65536];
    for (ssize_t n; (n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;) {
      got += static_cast<std::size_t>(n);
    }
    ::_exit(got == filled + data.size() ? 0 : 1);
  }
  ::close(pipeEnds[0]);
  EXPECT_TRUE(files_.Write(pipeEnds[1], data.data(), static_cast<std::uint32_t>(data.size())));
  ::close(pipeEnds[1]);
  int status = -1;
  EXPECT_EQ(drainer, WaitThroughSignals(drainer, &status));
  EXPECT_EQ(0, status);
}

// The index (from 1) of the first check that does not hold, or 0 when all do: the verdict of a
// child process, which has no test runner to report to.
int FirstFailing(std::initializer_list<bool> checks) {
  int index = 1;
  for (const bool holds : checks) {
    if (!holds) {
      return index;
    }
    ++index;
  }
  return 0;
}

// Where the kernel refuses a call, the file layer reports the failure, leaves the old output as
// it was with nothing beside it, and keeps no descriptor open.
TEST_F(PosixFileSystemTest, AFailingCallLeavesOutputsAsTheyWere) {
  if (testing::WithFailingCalls({SYS_fchmod}, EIO, [] { return 0; }) == testing::kNoFilter) {
    GTEST_SKIP() << "system calls cannot be made to fail here (an emulator)";
  }
  Put("old.h", "old");
  const std::string old = Path("old.h");
  const std::string fresh = Path("new.h");
  // Each returns the first of its checks that does not hold, or 0.
  const auto replaceRefused = [&] {
    return FirstFailing({files_.BeginReplace(old.c_str()) == kInvalidFile});
  };
  const auto freshRefusedAtZero = [&] {  // standard input closed: the output takes descriptor 0
    ::close(0);
    const int first = FirstFailing({files_.BeginReplace(fresh.c_str()) == kInvalidFile});
    return first != 0 ? first : FirstFailing({::open("/dev/null", O_RDONLY) == 0});
  };
  const auto commitFails = [&] {
    const FileHandle out = files_.BeginReplace(old.c_str());
    return FirstFailing(
        {out != kInvalidFile, files_.Write(out, "new", 3), !files_.EndReplace(out, true)});
  };
  const auto writeFails = [&] {
    const FileHandle out = files_.BeginReplace(old.c_str());
    errno = EINTR;  // an interruption that an earlier call left in errno
    return FirstFailing(
        {out != kInvalidFile, !files_.Write(out, "new", 3), !files_.EndReplace(out, false)});
  };
  const auto readFails = [&] {
    const FileHandle in = files_.OpenForRead(old.c_str());
    char buffer[3];
    return FirstFailing({in != kInvalidFile, !files_.Read(in, buffer, 3), files_.Close(in)});
  };
  const auto nothingOpens = [&] {
    return FirstFailing({files_.OpenForRead(old.c_str()) == kInvalidFile,
                         files_.BeginReplace(old.c_str()) == kInvalidFile,
                         files_.BeginReplace(fresh.c_str()) == kInvalidFile});
  };
  const auto oldOneRefused = [&] {  // a new output takes no lock
    return FirstFailing({files_.OpenForRead(old.c_str()) == kInvalidFile,
                         files_.BeginReplace(old.c_str()) == kInvalidFile});
  };
  struct Case {
    const char* what;
    std::vector<long> calls;
    int error;  // 0: the call does nothing and returns 0
    std::function<int()> body;
  };
  const std::vector<Case> cases = {
      {"permissions not taken over", {SYS_fchmod}, EIO, replaceRefused},
      {"a text the disk did not keep", {SYS_fsync}, EIO, commitFails},
      {"a text not put in place",
       {
#ifdef SYS_rename
           SYS_rename,
#endif
#ifdef SYS_renameat
           SYS_renameat,
#endif
           SYS_renameat2},
       EIO,
       commitFails},
      {"a failed write", {SYS_write}, EIO, writeFails},
      {"a write of no bytes", {SYS_write}, 0, writeFails},
      {"a failed read", {SYS_read}, EIO, readFails},
      {"no lock", {SYS_flock}, EIO, oldOneRefused},
      {"no blocking descriptor", {SYS_fcntl}, EIO, nothingOpens},
      {"no blocking descriptor 0", {SYS_fcntl}, EIO, freshRefusedAtZero},
  };
  for (const Case& c : cases) {
    const int code = testing::WithFailingCalls(c.calls, c.error, [&] {
      const std::size_t before = OpenDescriptors();
      const int first = c.body();
      return first != 0 ? first : FirstFailing({OpenDescriptors() == before}) * 10;
    });
    EXPECT_EQ(0, code) << c.what;
    EXPECT_EQ("old", Get("old.h")) << c.what;
    EXPECT_EQ(1u, Entries()) << c.what;
  }
}

}  // namespace
}  // namespace protowrap::platform

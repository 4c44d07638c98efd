// Tests of the POSIX file layer on real files in a scratch directory.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/file_system.h"
#include "platform/file_system_test_util.h"

namespace protowrap::platform {
namespace {

// A fresh scratch directory per test, removed afterwards.
class PosixFileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/protowrap-fs-XXXXXX";
    ASSERT_NE(nullptr, ::mkdtemp(name));
    dir_ = name;
  }
  void TearDown() override {
    const std::string command = "rm -rf '" + dir_ + "'";
    EXPECT_EQ(0, std::system(command.c_str()));
  }

  std::string Path(const char* name) const { return dir_ + "/" + name; }

  void Put(const char* name, const std::string& content) const {
    std::ofstream(Path(name), std::ios::binary) << content;
  }

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

TEST_F(PosixFileSystemTest, CreatesOrTruncatesOnlyWhatItCanHave) {
  const mode_t mask = ::umask(022);
  const FileHandle created = files_.CreateForWrite(Path("new.h").c_str());
  ASSERT_NE(kInvalidFile, created);
  EXPECT_TRUE(files_.Write(created, "abc\r\n", 5));
  EXPECT_TRUE(files_.Close(created));
  struct stat info {};
  ASSERT_EQ(0, ::stat(Path("new.h").c_str(), &info));
  EXPECT_EQ(0644u, info.st_mode & 0777u);
  EXPECT_EQ("abc\r\n", Get("new.h"));
  ::umask(mask);

  const FileHandle truncated = files_.CreateForWrite(Path("new.h").c_str());
  ASSERT_NE(kInvalidFile, truncated);
  EXPECT_EQ("", Get("new.h"));
  files_.Close(truncated);

  // Held by another process: left exactly as it was.
  Put("held.h", "keep me");
  const int holder = LockElsewhere("held.h");
  EXPECT_EQ(kInvalidFile, files_.CreateForWrite(Path("held.h").c_str()));
  EXPECT_EQ("keep me", Get("held.h"));
  ::close(holder);

  ASSERT_EQ(0, ::mkdir(Path("dir").c_str(), 0700));
  EXPECT_EQ(kInvalidFile, files_.CreateForWrite(Path("dir").c_str()));
  EXPECT_EQ(kInvalidFile, files_.CreateForWrite(Path("no/such/dir.h").c_str()));
  EXPECT_EQ(kInvalidFile, files_.CreateForWrite(""));
  ASSERT_EQ(0, ::mkfifo(Path("fifo").c_str(), 0600));  // no reader: must not hang
  EXPECT_EQ(kInvalidFile, files_.CreateForWrite(Path("fifo").c_str()));
}

TEST_F(PosixFileSystemTest, AFullDiskFailsTheWrite) {
  const FileHandle full = files_.CreateForWrite("/dev/full");
  ASSERT_NE(kInvalidFile, full);
  EXPECT_FALSE(files_.Write(full, "data", 4));
  files_.Close(full);
}

}  // namespace
}  // namespace protowrap::platform

// Tests of the configuration lookup on a real Talvenor.ini.
#include "config/configuration.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef __linux__
#include <sys/syscall.h>

#include "tests/failing_calls.h"
#endif

namespace protowrap::config {
namespace {

// The platform's configuration on a file in a fresh scratch directory.
class SystemConfigurationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("protowrap-config-" + std::to_string(std::random_device()()));
    std::filesystem::remove_all(dir_);
    ASSERT_TRUE(std::filesystem::create_directory(dir_));
    ini_ = (dir_ / "Talvenor.ini").string();
    descriptors_ = OpenDescriptors();
  }
  void TearDown() override {
    EXPECT_EQ(descriptors_, OpenDescriptors());  // every lookup closed the file it opened
    std::filesystem::remove_all(dir_);
  }

  // The process's open descriptors (Linux), or 0 where they are not counted (Windows: under Wine
  // the path names the emulator's own, which come and go).
  static std::size_t OpenDescriptors() {
#ifdef _WIN32
    return 0;
#else
    std::error_code error;
    std::filesystem::directory_iterator entries("/proc/self/fd", error);
    return error ? 0
                 : static_cast<std::size_t>(
                       std::distance(entries, std::filesystem::directory_iterator()));
#endif
  }

  void Put(const std::string& content) const {
    std::ofstream(ini_, std::ios::binary) << content;
  }

  std::string Get(const char* key, const char* defaultValue = "") {
    char value[kValueSize] = "stale";
    SystemConfiguration().GetValue("CONFIG", key, defaultValue, value, sizeof value, ini_.c_str());
    return value;
  }

  std::filesystem::path dir_;
  std::string ini_;
  std::size_t descriptors_ = 0;
};

TEST_F(SystemConfigurationTest, ReadsTheConfigurationFile) {
  EXPECT_EQ("", Get("CG_FILE_PATH"));  // missing file
  Put("[CONFIG]\r\nCG_FILE_PATH = ./in/cg.h\r\n");
  EXPECT_EQ("./in/cg.h", Get("CG_FILE_PATH"));
  EXPECT_EQ("none", Get("CW_FILE_PATH", "none"));
  Put("[CONFIG]\nCG_FILE_PATH=" + std::string(70000, 'x') + "\n");
  EXPECT_EQ(std::string(511, 'x'), Get("CG_FILE_PATH"));
  // A file of exactly one or two pieces (64 KiB on POSIX), whose last line, without a line end,
  // holds the value: the file's end comes after a full piece.
  for (const std::size_t size : {std::size_t{64} * 1024, std::size_t{128} * 1024}) {
    const std::string head = "[CONFIG]\n;";
    const std::string tail = "\nCG_FILE_PATH=./cg.h";
    Put(head + std::string(size - head.size() - tail.size(), 'c') + tail);
    EXPECT_EQ("./cg.h", Get("CG_FILE_PATH")) << size;
  }
#ifndef _WIN32
  // Without standard input, the file opens as descriptor 0, and is read as any other.
  Put("[CONFIG]\nCG_FILE_PATH=./zero.h\n");
  const int savedInput = ::dup(0);
  ASSERT_LE(0, savedInput);
  ::close(0);
  const std::string read = Get("CG_FILE_PATH");
  ASSERT_EQ(0, ::dup2(savedInput, 0));
  ::close(savedInput);
  EXPECT_EQ("./zero.h", read);
  // A FIFO in its place answers with the default, without blocking.
  std::filesystem::remove(ini_);
  ASSERT_EQ(0, ::mkfifo(ini_.c_str(), 0600));
  EXPECT_EQ("", Get("CG_FILE_PATH"));
#endif
}

#ifdef __linux__
TEST_F(SystemConfigurationTest, AFileThatCannotBeReadAnswersWithTheDefault) {
  // The kernel refuses every read of it (an I/O error): the default, as for a missing file, and
  // the file closed.
  Put("[CONFIG]\nCG_FILE_PATH=./cg.h\n");
  const int code = testing::WithFailingCalls({SYS_read}, EIO, [&] {
    const std::size_t before = OpenDescriptors();
    const std::string value = Get("CG_FILE_PATH", "none");
    return value != "none" ? 1 : OpenDescriptors() != before ? 2 : 0;
  });
  if (code == testing::kNoFilter) {
    GTEST_SKIP() << "system calls cannot be made to fail here (an emulator)";
  }
  EXPECT_EQ(0, code);
}

TEST_F(SystemConfigurationTest, ADeviceInItsPlaceIsNotRead) {
  // A link to /dev/urandom, which never ends: the default at once (in a child, which an alarm
  // ends after 20 s were it to read on).
  ASSERT_EQ(0, ::symlink("/dev/urandom", ini_.c_str()));
  const int code = testing::WithFailingCalls(
      {}, 0, [&] { return Get("CG_FILE_PATH", "none") == "none" ? 0 : 1; });
  if (code == testing::kNoFilter) {
    GTEST_SKIP() << "no child with a filter here (an emulator)";
  }
  EXPECT_EQ(0, code);
}
#endif

TEST_F(SystemConfigurationTest, SkippedLinesAcrossThePiecesOfTheFile) {
  // The file is read in pieces (64 KiB on POSIX). A line that the lookup skips (a comment,
  // another section's line, the value of another key) may cross from one piece to the next:
  // its tail, which here looks like what the lookup wants, must not become a line of its own,
  // wherever around the boundary it begins.
  struct Case {
    const char* before;  // up to the skipped line
    const char* line;    // the skipped line's start; filler follows it
    const char* tail;    // the skipped line's end, which begins near the boundary
    const char* after;
  };
  const Case cases[] = {
      {"[CONFIG]\n", ";", "CG_FILE_PATH=wrong\n", "CG_FILE_PATH=right\n"},
      {"[OTHER]\n", "X", "[CONFIG]\nCG_FILE_PATH=wrong\n", "[CONFIG]\nCG_FILE_PATH=right\n"},
      {"[CONFIG]\n", "CW_FILE_PATH=", "CG_FILE_PATH=wrong\n", "CG_FILE_PATH=right\n"},
  };
  for (const std::size_t piece : {std::size_t{64} * 1024, std::size_t{128} * 1024}) {
    for (const Case& c : cases) {
      for (std::size_t shift = 0; shift < 9; ++shift) {
        std::string ini = std::string(c.before) + c.line;
        ini += std::string(piece + shift - 4 - ini.size(), 'c') + c.tail + c.after;
        Put(ini);
        EXPECT_EQ("right", Get("CG_FILE_PATH")) << c.line << " " << piece << " " << shift;
      }
    }
  }
}

}  // namespace
}  // namespace protowrap::config

// Tests of the Win32 file layer on real files in a scratch directory.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/file_system.h"
#include "platform/file_system_test_util.h"

namespace protowrap::platform {
namespace {

// A fresh scratch directory per test, in the current directory.
class Win32FileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = "fs-test-" + std::to_string(GetCurrentProcessId()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
    ASSERT_TRUE(CreateDirectoryA(dir_.c_str(), nullptr));
  }
  void TearDown() override {
    for (const char* name : {"in.h", "held.h", "big.h", "out.h", "out.h.protowrap-99999-1"}) {
      DeleteFileA(Path(name).c_str());
    }
    RemoveDirectoryA(Path("dir").c_str());
    RemoveDirectoryA(dir_.c_str());
  }

  std::string Path(const char* name) const { return dir_ + "\\" + name; }

  void Put(const char* name, const std::string& content) const {
    HANDLE file = CreateFileA(Path(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD put = 0;
    WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &put, nullptr);
    CloseHandle(file);
  }

  std::string Get(const char* name) const {
    HANDLE file = CreateFileA(Path(name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    std::string content(4096, '\0');
    DWORD got = 0;
    ReadFile(file, content.data(), static_cast<DWORD>(content.size()), &got, nullptr);
    CloseHandle(file);
    content.resize(got);
    return content;
  }

  // Another holder of the file, opened without sharing.
  HANDLE HoldElsewhere(const char* name) const {
    return CreateFileA(Path(name).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
  }

  FileSystem& files_ = SystemFileSystem();
  std::string dir_;
};

TEST_F(Win32FileSystemTest, ReadsAWholeFileSharedWithReadersOnly) {
  const std::string content("line one\r\nline\0two\n", 19);
  Put("in.h", content);
  ExpectWholeSharedRead(files_, Path("in.h"), content);
}

TEST_F(Win32FileSystemTest, RefusesWhatIsNotAnOpenableDiskFile) {
  Put("held.h", "x");
  HANDLE holder = HoldElsewhere("held.h");
  ASSERT_NE(INVALID_HANDLE_VALUE, holder);
  // A writer that lets others read still keeps readers out: they would see a half-written file.
  Put("in.h", "x");
  HANDLE writer = CreateFileA(Path("in.h").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, writer);
  ASSERT_TRUE(CreateDirectoryA(Path("dir").c_str(), nullptr));
  for (const std::string& path : {Path("missing.h"), std::string(), Path("dir"), Path("held.h"),
                                  Path("in.h"), std::string("NUL")}) {
    EXPECT_EQ(kInvalidFile, files_.OpenForRead(path.c_str())) << path;
  }
  CloseHandle(writer);
  CloseHandle(holder);
}

TEST_F(Win32FileSystemTest, SizesPastFourGigabytesKeepTheHighWord) {
  HANDLE file = CreateFileA(Path("big.h").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  LARGE_INTEGER end;
  end.QuadPart = (5ll << 30) + 3;
  ASSERT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN));
  ASSERT_TRUE(SetEndOfFile(file));
  CloseHandle(file);
  const FileHandle big = files_.OpenForRead(Path("big.h").c_str());
  ASSERT_NE(kInvalidFile, big);
  std::uint64_t size = 0;
  EXPECT_TRUE(files_.GetSize(big, &size));
  EXPECT_EQ((5ull << 30) + 3, size);
  files_.Close(big);
}

TEST_F(Win32FileSystemTest, ReplacesAnOutputWholeOrLeavesItAsItWas) {
  FileHandle out = files_.BeginReplace(Path("out.h").c_str());
  ASSERT_NE(kInvalidFile, out);
  EXPECT_TRUE(files_.Write(out, "abc\r\n", 5));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(Path("out.h").c_str()))
      << "the output appears only whole";
  EXPECT_TRUE(files_.EndReplace(out, true));
  EXPECT_EQ("abc\r\n", Get("out.h"));

  // Replaced again; a replacement given up on leaves the output as it was.
  out = files_.BeginReplace(Path("out.h").c_str());
  ASSERT_NE(kInvalidFile, out);
  EXPECT_TRUE(files_.Write(out, "longer text", 11));
  EXPECT_TRUE(files_.EndReplace(out, true));
  EXPECT_EQ("longer text", Get("out.h"));
  out = files_.BeginReplace(Path("out.h").c_str());
  ASSERT_NE(kInvalidFile, out);
  EXPECT_FALSE(files_.EndReplace(out, false));
  EXPECT_EQ("longer text", Get("out.h"));

  // A read-only output, or one held without sharing, is left exactly as it was.
  Put("held.h", "keep me");
  HANDLE holder = HoldElsewhere("held.h");
  EXPECT_EQ(kInvalidFile, files_.BeginReplace(Path("held.h").c_str()));
  CloseHandle(holder);
  EXPECT_EQ("keep me", Get("held.h"));
  ASSERT_TRUE(SetFileAttributesA(Path("held.h").c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(kInvalidFile, files_.BeginReplace(Path("held.h").c_str()));
  ASSERT_TRUE(SetFileAttributesA(Path("held.h").c_str(), FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ("keep me", Get("held.h"));

  ASSERT_TRUE(CreateDirectoryA(Path("dir").c_str(), nullptr));
  EXPECT_EQ(kInvalidFile, files_.BeginReplace(Path("dir").c_str()));
  EXPECT_EQ(kInvalidFile, files_.BeginReplace(Path("no\\such\\dir.h").c_str()));

  // What a killed run left beside the output is removed by the next run.
  Put("out.h.protowrap-99999-1", "half");
  out = files_.BeginReplace(Path("out.h").c_str());
  ASSERT_NE(kInvalidFile, out);
  EXPECT_TRUE(files_.EndReplace(out, true));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(Path("out.h.protowrap-99999-1").c_str()));
}

TEST_F(Win32FileSystemTest, PathsLongerThanMaxPathWork) {
  // 300 bytes and more of path, in directories made the long way ("\\?\" and the wide calls),
  // which is how protowrap.exe goes past MAX_PATH.
  const std::string deep = Path(std::string(120, 'd').c_str()) + "\\" + std::string(120, 'e');
  WCHAR full[1024];
  const std::wstring wideDeep(deep.begin(), deep.end());
  GetFullPathNameW(wideDeep.c_str(), 1024, full, nullptr);
  const std::wstring longDeep = std::wstring(L"\\\\?\\") + full;
  const std::wstring longFirst = longDeep.substr(0, longDeep.rfind(L'\\'));
  ASSERT_TRUE(CreateDirectoryW(longFirst.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW(longDeep.c_str(), nullptr));
  const std::string path = deep + "\\x.h";
  ASSERT_GT(path.size(), 260u);
  FileHandle out = files_.BeginReplace(path.c_str());
  ASSERT_NE(kInvalidFile, out);
  EXPECT_TRUE(files_.Write(out, "long", 4));
  EXPECT_TRUE(files_.EndReplace(out, true));
  const FileHandle in = files_.OpenForRead(path.c_str());
  ASSERT_NE(kInvalidFile, in);
  char text[4] = {};
  EXPECT_TRUE(files_.Read(in, text, 4));
  EXPECT_EQ("long", std::string(text, 4));
  files_.Close(in);
  EXPECT_TRUE(DeleteFileW((longDeep + L"\\x.h").c_str()));
  EXPECT_TRUE(RemoveDirectoryW(longDeep.c_str()));
  EXPECT_TRUE(RemoveDirectoryW(longFirst.c_str()));
}

}  // namespace
}  // namespace protowrap::platform

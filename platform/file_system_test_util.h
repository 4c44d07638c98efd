// Checks that hold for every FileSystem implementation, shared by their tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/file_system.h"

namespace protowrap::platform {

/// `path` holds `content`: it opens exclusively (a second open fails while the first holds it),
/// reports its size, reads whole, gives a short read past its end, and closes.
inline void ExpectWholeExclusiveRead(FileSystem& files, const std::string& path,
                                     const std::string& content) {
  const FileHandle file = files.OpenForRead(path.c_str());
  ASSERT_NE(kInvalidFile, file);
  EXPECT_EQ(kInvalidFile, files.OpenForRead(path.c_str()));  // held by us now
  std::uint64_t size = 0;
  ASSERT_TRUE(files.GetSize(file, &size));
  EXPECT_EQ(content.size(), size);
  std::string buffer(size, '\0');
  EXPECT_TRUE(files.Read(file, buffer.data(), static_cast<std::uint32_t>(size)));
  EXPECT_EQ(content, buffer);
  EXPECT_FALSE(files.Read(file, buffer.data(), 1));  // nothing more: a short read
  EXPECT_TRUE(files.Close(file));
  const FileHandle again = files.OpenForRead(path.c_str());  // free again once closed
  EXPECT_NE(kInvalidFile, again);
  files.Close(again);
}

}  // namespace protowrap::platform

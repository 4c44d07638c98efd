// Checks that hold for every FileSystem implementation, shared by their tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/file_system.h"

namespace protowrap::platform {

/// `path` holds `content`: it opens for reading shared with other readers (a second open for
/// reading succeeds), reports its size, reads whole, gives a short read past its end, and closes.
inline void ExpectWholeSharedRead(FileSystem& files, const std::string& path,
                                  const std::string& content) {
  const FileHandle file = files.OpenForRead(path.c_str());
  ASSERT_NE(kInvalidFile, file);
  const FileHandle reader = files.OpenForRead(path.c_str());
  EXPECT_NE(kInvalidFile, reader);
  files.Close(reader);
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

// Tests of where the header check looks for a quoted include's file, and of its limits.
#include "check/include_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/fakes.h"

namespace protowrap::check {
namespace {

// The text of what `name` finds from `includer` ("" for the header), or "(none)".
std::string Found(IncludeReader& reader, std::string_view name, std::string_view includer = {}) {
  const IncludedFile* file = reader.Find(name, includer);
  return file == nullptr ? "(none)" : file->path + "=" + file->text;
}

// First beside the including file, then in the directory protowrap runs in; an absolute name
// as it stands; an empty one nowhere.
TEST(IncludeReader, LooksBesideTheIncluderFirstThenInTheRunsDirectory) {
  testing::FakeFileSystem files;
  files.files = {{"dir/a.h", "A beside"}, {"a.h", "A here"}, {"b.h", "B here"},
                 {"dir/sub/c.h", "C"},    {"c.h", "C here"}, {"/abs/d.h", "D"}};
  IncludeReader reader(files, "dir/h.h");
  EXPECT_EQ("dir/a.h=A beside", Found(reader, "a.h"));
  EXPECT_EQ("b.h=B here", Found(reader, "b.h"));
  EXPECT_EQ("dir/sub/c.h=C", Found(reader, "c.h", "dir/sub/inc.h"));
  EXPECT_EQ("c.h=C here", Found(reader, "c.h"));  // the header's directory has none
  EXPECT_EQ("/abs/d.h=D", Found(reader, "/abs/d.h"));
  EXPECT_EQ("(none)", Found(reader, ""));
  EXPECT_EQ("(none)", Found(reader, "e.h"));
  IncludeReader here(files, "h.h");  // a header in the run's directory
  EXPECT_EQ("a.h=A here", Found(here, "a.h"));
}

// Each path is tried once: what it gave first, it gives again, found or not.
TEST(IncludeReader, TriesEachPathOnce) {
  testing::FakeFileSystem files;
  files.files = {{"a.h", "A"}};
  IncludeReader reader(files, "h.h");
  const IncludedFile* first = reader.Find("a.h", {});
  ASSERT_NE(nullptr, first);
  EXPECT_EQ("(none)", Found(reader, "m.h"));
  files.files = {{"m.h", "M"}};
  EXPECT_EQ(first, reader.Find("a.h", {}));
  EXPECT_EQ("A", first->text);
  EXPECT_EQ("(none)", Found(reader, "m.h"));
}

// The files read hold at most the given bytes together, and at most kMaxPaths paths are tried.
TEST(IncludeReader, ReadsWithinItsBytesAndPaths) {
  testing::FakeFileSystem files;
  files.files = {{"a.h", "123"}, {"b.h", "456"}, {"c.h", "78"}, {"d.h", ""}};
  IncludeReader reader(files, "h.h", 5);
  EXPECT_EQ("a.h=123", Found(reader, "a.h"));
  EXPECT_EQ("(none)", Found(reader, "b.h"));  // 3 more bytes, and 2 are left
  EXPECT_EQ("c.h=78", Found(reader, "c.h"));  // exactly what is left
  EXPECT_EQ("d.h=", Found(reader, "d.h"));

  IncludeReader many(files, "h.h");
  for (std::size_t i = 0; i + 1 < IncludeReader::kMaxPaths; ++i) {
    EXPECT_EQ("(none)", Found(many, "missing" + std::to_string(i) + ".h"));
  }
  EXPECT_EQ("a.h=123", Found(many, "a.h"));  // the last path it may try
  EXPECT_EQ("(none)", Found(many, "b.h"));
  EXPECT_EQ("a.h=123", Found(many, "a.h"));  // tried already

  // By default the includes read hold 16 MiB together.
  files.files["big.h"] = std::string(std::size_t{16} << 20, 'x');
  IncludeReader bounded(files, "h.h");
  const IncludedFile* big = bounded.Find("big.h", "");
  ASSERT_NE(nullptr, big);
  EXPECT_EQ(std::size_t{16} << 20, big->text.size());
  EXPECT_EQ("(none)", Found(bounded, "c.h"));
}

}  // namespace
}  // namespace protowrap::check

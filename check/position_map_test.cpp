// Tests of mapping wrap-header offsets back to lines and columns of the input header.
#include "check/position_map.h"

#include <gtest/gtest.h>

#include <string>

namespace protowrap::check {
namespace {

TEST(PositionMap, OutputOffsetsComeBackAsInputLinesAndColumns) {
  // Written by the rules from the input above it; CR, LF and CR LF all end lines.
  const std::string input = "enum eCG_X_PROTOCOL\r{\n\tCG_A = 1,\r\n\tB,\n";
  const std::string output =
      "PROTOCOL_STRUCT sCG_X_PROTOCOL[] = \r{\n\tMAKE_PROTOCOL_INFO(CG_A , 1), \r\n\tB), \n";
  PositionMap map(input.data(), static_cast<std::int32_t>(input.size()), output.data(),
                  static_cast<std::int32_t>(output.size()));
  const struct {
    std::string at;  // the first place in the output that starts so
    std::int32_t line;
    std::int32_t column;
  } cases[] = {
      {"PROTOCOL_STRUCT", 1, 1},      // "enum e" was replaced from its start
      {"X_PROTOCOL[]", 1, 10},        // a byte the rules left where it was
      {"{", 2, 1},                    //
      {"MAKE_PROTOCOL_INFO(", 3, 2},  // what rule 1 wrote comes from the CG_ it matched
      {" , 1", 3, 6},                 // the blank before the '=' that became ','
      {", 1", 3, 7},                  //
      {"1), ", 3, 9},                 //
      {"), \r", 3, 10},               // what rule 4 wrote comes from the comma
      {"B", 4, 2},                    //
      {"\n", 4, 4},                   // the end of the line
  };
  std::size_t from = 0;
  for (const auto& c : cases) {
    from = output.find(c.at, from);
    ASSERT_NE(std::string::npos, from) << c.at;
    std::int32_t line = 0;
    std::int32_t column = 0;
    map.Locate(static_cast<std::int32_t>(from), &line, &column);
    EXPECT_EQ(c.line, line) << c.at;
    EXPECT_EQ(c.column, column) << c.at;
    // Two warnings at one offset: the second is placed where the first was.
    line = column = 0;
    map.Locate(static_cast<std::int32_t>(from), &line, &column);
    EXPECT_EQ(c.line, line) << c.at;
    EXPECT_EQ(c.column, column) << c.at;
  }
}

TEST(PositionMap, ALinesHeldBytesDoNotReachTheNext) {
  // Locating the first 'C' leaves the last held (it may begin "CG_"); the next line's "G_" must
  // not complete it.
  const std::string input = "xCGC\nG_A,\n";
  const std::string output = "xCGC\nG_A), \n";
  PositionMap map(input.data(), static_cast<std::int32_t>(input.size()), output.data(),
                  static_cast<std::int32_t>(output.size()));
  std::int32_t line = 0;
  std::int32_t column = 0;
  map.Locate(1, &line, &column);
  EXPECT_EQ(1, line);
  EXPECT_EQ(2, column);
  map.Locate(static_cast<std::int32_t>(output.find('A')), &line, &column);
  EXPECT_EQ(2, line);
  EXPECT_EQ(3, column);
}

TEST(PositionMap, AHeaderThatBeginsWithALineEndHasAnEmptyFirstLine) {
  const std::string input = "\n\tCG_A = 1,\n";
  const std::string output = "\n\tMAKE_PROTOCOL_INFO(CG_A , 1), \n";
  PositionMap map(input.data(), static_cast<std::int32_t>(input.size()), output.data(),
                  static_cast<std::int32_t>(output.size()));
  std::int32_t line = 0;
  std::int32_t column = 0;
  map.Locate(static_cast<std::int32_t>(output.find("1)")), &line, &column);
  EXPECT_EQ(2, line);
  EXPECT_EQ(9, column);
}

TEST(PositionMap, WithoutTheInputOrWithAnotherOneColumnsAreUnknown) {
  const std::string output = "a\nMAKE_PROTOCOL_INFO(CG_A), \n";
  const std::string changed = "a\nCG_B,\n";
  for (const std::string* input : {static_cast<const std::string*>(nullptr), &changed}) {
    PositionMap map(input != nullptr ? input->data() : nullptr,
                    input != nullptr ? static_cast<std::int32_t>(input->size()) : 0, output.data(),
                    static_cast<std::int32_t>(output.size()));
    std::int32_t line = 0;
    std::int32_t column = -1;
    map.Locate(static_cast<std::int32_t>(output.find("CG_A), ")) + 3, &line, &column);
    EXPECT_EQ(2, line);
    EXPECT_EQ(0, column);
  }
  // A line that differs leaves the next ones' columns known.
  const std::string input = "a\nCG_B,\n\tCG_C,\n";
  const std::string longer = output + "\tMAKE_PROTOCOL_INFO(CG_C), \n";
  PositionMap map(input.data(), static_cast<std::int32_t>(input.size()), longer.data(),
                  static_cast<std::int32_t>(longer.size()));
  std::int32_t line = 0;
  std::int32_t column = 0;
  map.Locate(static_cast<std::int32_t>(longer.find("CG_A")) + 3, &line, &column);
  EXPECT_EQ(0, column);
  map.Locate(static_cast<std::int32_t>(longer.find("CG_C")), &line, &column);
  EXPECT_EQ(3, line);
  EXPECT_EQ(2, column);
  // A line whose rewritten input differs from the output's at its first byte stays unknown, even
  // where the input's next bytes would line up with the output's ("xCG_D," against "CG_D,").
  const std::string shifted = "xCG_D,\n";
  const std::string unshifted = "MAKE_PROTOCOL_INFO(CG_D), \n";
  PositionMap other(shifted.data(), static_cast<std::int32_t>(shifted.size()), unshifted.data(),
                    static_cast<std::int32_t>(unshifted.size()));
  other.Locate(static_cast<std::int32_t>(unshifted.find("CG_D")), &line, &column);
  EXPECT_EQ(1, line);
  EXPECT_EQ(0, column);
}

}  // namespace
}  // namespace protowrap::check

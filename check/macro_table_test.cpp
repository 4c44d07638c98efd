// Tests of the macro table: how a #define's operand is read, each configuration's state, and the
// table's memory limit.
#include "check/macro_table.h"

#include <gtest/gtest.h>

#include <string>

namespace protowrap::check {
namespace {

constexpr std::size_t kRoomy = std::size_t{1} << 20;

std::string NameOf(int i) {
  std::string name = "N";
  name += std::to_string(i);
  return name;
}

// What Define made of `text`: "name/parameters/f(unction)v(ariadic)/body", or "unknown".
std::string Read(MacroTable& table, std::string_view text) {
  std::string_view name;
  const std::int32_t state = table.Define(text, &name);
  if (state < 0) {
    EXPECT_TRUE(name.empty()) << text;
    return "unknown";
  }
  const MacroDefinition& d = table.Definition(state);
  return std::string(name) + "/" + std::to_string(d.parameters) + "/" + (d.function ? "f" : "") +
         (d.variadic ? "v" : "") + "/" + std::string(d.body);
}

TEST(MacroTable, ReadsADefinesNameParametersAndReplacement) {
  MacroTable table(kRoomy, 4);
  EXPECT_EQ("A/0//1 + 2", Read(table, " \tA 1 + 2 \r\n"));
  EXPECT_EQ("B/0//", Read(table, "B"));
  EXPECT_EQ("_x9/0//(y)", Read(table, "_x9 (y)"));  // a blank first: object-like
  EXPECT_EQ("F/2/f/a ## b", Read(table, "F( a , b )  a ## b"));
  EXPECT_EQ("G/0/f/", Read(table, "G()"));
  EXPECT_EQ("V/1/fv/__VA_ARGS__", Read(table, "V(a, ...) __VA_ARGS__"));
  EXPECT_EQ("W/0/fv/x", Read(table, "W(...)x"));
  EXPECT_EQ("unknown", Read(table, "H(a, b"));  // no ')': no C++
  EXPECT_EQ("unknown", Read(table, "9A 1"));
  EXPECT_EQ("unknown", Read(table, "  "));
  // A count of parameters past the largest it keeps stays there, rather than wrapping to none.
  std::string many = "M(p";
  for (int i = 1; i <= 0xFFFF; ++i) {
    many += ",p" + std::to_string(i);
  }
  EXPECT_EQ("M/65535/f/x", Read(table, many + ") x"));
  EXPECT_FALSE(table.Full());
}

TEST(MacroTable, KeepsEachNamesStateInEachConfiguration) {
  MacroTable table(kRoomy, 3);
  EXPECT_EQ(nullptr, table.Find("A"));
  std::string_view name;
  const std::int32_t one = table.Define("A 1", &name);
  // Defined in configuration 0, maybe in 1 (a condition not known there), untouched in 2.
  table.Set(name, one, Only(0), Only(0) | Only(1));
  const std::int32_t* states = table.Find("A");
  ASSERT_NE(nullptr, states);
  EXPECT_EQ(one, states[0]);
  EXPECT_EQ(MacroTable::kUnknown, states[1]);
  EXPECT_EQ(MacroTable::kNotSeen, states[2]);
  table.Set("A", MacroTable::kUndefined, Only(2), Only(2));
  EXPECT_EQ(one, table.Find("A")[0]);
  EXPECT_EQ(MacroTable::kUndefined, table.Find("A")[2]);
  table.Set("B", MacroTable::kUndefined, Only(0), 0);  // applies nowhere: not held
  EXPECT_EQ(nullptr, table.Find("B"));
  EXPECT_EQ(nullptr, table.Find("AB"));
  // Many names, as the table grows: each keeps its own states.
  for (int i = 0; i < 3000; ++i) {
    const std::string n = NameOf(i);
    table.Set(n, table.Define(n + " " + std::to_string(i), &name), Only(i % 3), Only(i % 3));
  }
  for (int i = 0; i < 3000; ++i) {
    const std::int32_t* s = table.Find(NameOf(i));
    ASSERT_NE(nullptr, s) << i;
    EXPECT_EQ(std::to_string(i), table.Definition(s[i % 3]).body) << i;
    EXPECT_EQ(MacroTable::kNotSeen, s[(i + 1) % 3]) << i;
  }
  // A directive that holds in more configurations than the table has: its own three change, the
  // next name's stay.
  table.Set(NameOf(0), MacroTable::kUndefined, kEveryConfiguration, kEveryConfiguration);
  EXPECT_EQ(MacroTable::kUndefined, table.Find(NameOf(0))[2]);
  EXPECT_EQ(MacroTable::kNotSeen, table.Find(NameOf(1))[0]);
  EXPECT_FALSE(table.Full());
}

// Past its limit the table takes nothing new, says so, and a definition it could not keep is
// unknown; what it holds stays.
TEST(MacroTable, PastItsLimitTakesNothingNewAndSaysSo) {
  MacroTable table(6000, 1);
  std::string_view name;
  const std::int32_t a = table.Define("A 1", &name);
  table.Set(name, a, Only(0), Only(0));
  ASSERT_FALSE(table.Full());
  EXPECT_EQ("unknown", Read(table, "B " + std::string(6000, 'x')));
  EXPECT_TRUE(table.Full());
  EXPECT_EQ(a, table.Find("A")[0]);
  EXPECT_EQ("1", table.Definition(table.Find("A")[0]).body);
  int taken = 0;
  for (int i = 0; i < 1000 && table.Find(NameOf(i)) == nullptr; ++i) {
    const std::string n = NameOf(i);
    table.Set(n, MacroTable::kUndefined, Only(0), Only(0));
    taken += table.Find(n) != nullptr ? 1 : 0;
  }
  EXPECT_LT(taken, 1000);  // names too run out of room
  EXPECT_EQ("1", table.Definition(table.Find("A")[0]).body);

  // Each definition's text counts: no more of them fit than their bytes allow.
  MacroTable texts(20000, 1);
  int kept = 0;
  for (int i = 0; i < 100 && !texts.Full(); ++i) {
    kept += texts.Define(NameOf(i) + " " + std::string(1000, 'x'), &name) >= 0 ? 1 : 0;
  }
  EXPECT_TRUE(texts.Full());
  EXPECT_GT(kept, 0);
  EXPECT_LE(kept, 20);
  // And each definition itself, however short.
  MacroTable many(20000, 1);
  kept = 0;
  for (int i = 0; i < 20000 && !many.Full(); ++i) {
    kept += many.Define(NameOf(i), &name) >= 0 ? 1 : 0;
  }
  EXPECT_TRUE(many.Full());
  EXPECT_LE(kept, static_cast<int>(20000 / sizeof(MacroDefinition)));

  // Names alone fill it too, when its slots can grow no more: the names it could not take are
  // not held, and it says so.
  MacroTable names(10000, 1);
  for (int i = 0; i < 300; ++i) {
    names.Set(NameOf(i), MacroTable::kUndefined, Only(0), Only(0));
  }
  EXPECT_TRUE(names.Full());
  EXPECT_NE(nullptr, names.Find(NameOf(0)));
  EXPECT_EQ(nullptr, names.Find(NameOf(299)));
}

}  // namespace
}  // namespace protowrap::check

// A client of two source files (this one and lookup.cpp) through protowrap's client header: the
// tables at compile time (static_assert) and at run time (every entry printed, and lookups).
#include <algorithm>
#include <cstdio>
#include <string_view>

#include "protocol_tables.h"

// Compile time: sizes, names, codes and uniqueness, the expected values written out by hand.
static_assert(protowrap::Size(sCG_CATEGORY) == 4);
static_assert(protowrap::Size(sCG_CONNECTION_PROTOCOL) == 6);
static_assert(protowrap::Size(sCW_MARKET_PROTOCOL) == 4);
static_assert(std::string_view(protowrap::NameOf(sCG_CONNECTION_PROTOCOL, 257)) ==
              "CG_CONNECTION_HELLO_ACK");
static_assert(std::string_view(protowrap::NameOf(sCW_CATEGORY_PACK, CW_MARKET)) == "CW_MARKET");
static_assert(protowrap::NameOf(sCG_CONNECTION_PROTOCOL, 261) == nullptr);
static_assert(protowrap::CodeOf(sCW_MARKET_PROTOCOL, "CW_MARKET_BUY_ACK", -1) == 781);
static_assert(protowrap::CodeOf(sCG_CHAT_PROTOCOL, "CG_CHAT_WHISPER_SYN", -1) == 1026);
static_assert(protowrap::CodeOf(sCG_CHAT_PROTOCOL, "CG_CHAT", -1) == -1);
static_assert(protowrap::CodeOf(sCG_CHAT_PROTOCOL, "CG_CHAT_NORMAL_SYNX", 7) == 7);
static_assert(protowrap::HasUniqueCodes(sCG_CATEGORY));
static_assert(protowrap::HasUniqueCodes(sCG_CONNECTION_PROTOCOL));
static_assert(protowrap::HasUniqueCodes(sCW_MARKET_PROTOCOL));
static_assert(protowrap::Entries(sCG_ITEM_PROTOCOL).size() == 3);

template <std::size_t N>
void Print(const char* name, const protowrap::Entry (&table)[N]) {
  std::printf("%s: %zu entries\n", name, protowrap::Size(table));
  for (const protowrap::Entry& entry : protowrap::Entries(table)) {
    std::printf("  %s %d\n", entry.name, entry.value);
  }
}

int main() {
  Print("sCG_CATEGORY", sCG_CATEGORY);
  Print("sCG_CONNECTION_PROTOCOL", sCG_CONNECTION_PROTOCOL);
  Print("sCG_CHARACTER_PROTOCOL", sCG_CHARACTER_PROTOCOL);
  Print("sCG_ITEM_PROTOCOL", sCG_ITEM_PROTOCOL);
  Print("sCG_CHAT_PROTOCOL", sCG_CHAT_PROTOCOL);
  Print("sCW_CATEGORY_PACK", sCW_CATEGORY_PACK);
  Print("sCW_CONNECTION_PROTOCOL", sCW_CONNECTION_PROTOCOL);
  Print("sCW_GUILD_PROTOCOL", sCW_GUILD_PROTOCOL);
  Print("sCW_MARKET_PROTOCOL", sCW_MARKET_PROTOCOL);
  // At run time: a log line, a lookup in another source file, <algorithm> over the entries.
  const int received = 0x0301;
  std::printf("received %s\n", protowrap::NameOf(sCG_ITEM_PROTOCOL, received));
  std::printf("code 1025 is %s\n", CgCodeName(1025));
  const auto market = protowrap::Entries(sCW_MARKET_PROTOCOL);
  const auto highest = std::max_element(
      market.begin(), market.end(),
      [](const protowrap::Entry& a, const protowrap::Entry& b) { return a.value < b.value; });
  std::printf("highest market code: %s %d\n", highest->name, highest->value);
  return 0;
}

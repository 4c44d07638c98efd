// A program of two source files (this one and lookup.cpp) that both include the wrap headers,
// with the inline constexpr form of PROTOCOL_STRUCT: it prints every table, as client.cpp does,
// and looks a code's name up.
#include <cstdio>
#include <cstring>

#include "protocol_tables.h"

static_assert(sCG_CATEGORY[0].value == CG_CONNECTION, "the tables are usable at compile time");

namespace {

void Print(const char* table, const ProtocolEntry* entry) {
  for (; entry->name != nullptr; ++entry) {
    std::printf("%s %s %d\n", table, entry->name, entry->value);
  }
  std::printf("%s end %d\n", table, entry->value);
}

}  // namespace

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
  const char* name = CodeName(sCG_CONNECTION_PROTOCOL, CG_CONNECTION_HELLO_ACK);
  return name != nullptr && std::strcmp(name, "CG_CONNECTION_HELLO_ACK") == 0 ? 0 : 1;
}

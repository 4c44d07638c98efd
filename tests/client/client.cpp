// A build that uses protowrap's output as its users do: it defines PROTOCOL_STRUCT and the two
// entry macros, includes the protocol headers and their wrap headers, and prints every table.
#include <cstdio>

struct PROTOCOL_STRUCT {
  const char* name;
  int value;
};

// An entry names an enumerator; an explicit value, when the header had one, comes second.
#define MAKE_PROTOCOL_INFO(name, ...) \
  { #name, name }
#define MAKE_PROTOCOL_INFO_EOR() \
  { nullptr, -1 }

#include "Protocol_CG.h"
#include "Protocol_CW.h"

#include "Protocol_CG.WRAP.h"
#include "Protocol_CW.WRAP.h"

namespace {

void Print(const char* table, const PROTOCOL_STRUCT* entry) {
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
  return 0;
}

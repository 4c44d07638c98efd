// Prints every table of the example headers, one line per entry and one for the end: included
// after the wrap headers by each client, whatever its PROTOCOL_STRUCT is.
#pragma once

#include <cstdio>

template <typename Entry>
void PrintTable(const char* table, const Entry* entry) {
  for (; entry->name != nullptr; ++entry) {
    std::printf("%s %s %d\n", table, entry->name, entry->value);
  }
  std::printf("%s end %d\n", table, entry->value);
}

inline void PrintTables() {
  PrintTable("sCG_CATEGORY", sCG_CATEGORY);
  PrintTable("sCG_CONNECTION_PROTOCOL", sCG_CONNECTION_PROTOCOL);
  PrintTable("sCG_CHARACTER_PROTOCOL", sCG_CHARACTER_PROTOCOL);
  PrintTable("sCG_ITEM_PROTOCOL", sCG_ITEM_PROTOCOL);
  PrintTable("sCG_CHAT_PROTOCOL", sCG_CHAT_PROTOCOL);
  PrintTable("sCW_CATEGORY_PACK", sCW_CATEGORY_PACK);
  PrintTable("sCW_CONNECTION_PROTOCOL", sCW_CONNECTION_PROTOCOL);
  PrintTable("sCW_GUILD_PROTOCOL", sCW_GUILD_PROTOCOL);
  PrintTable("sCW_MARKET_PROTOCOL", sCW_MARKET_PROTOCOL);
}

// The second source file that includes the tables: looks codes up at run time, in every CG table.
#include "protocol_tables.h"

const char* CgCodeName(int code) {
  for (const auto* table : {sCG_CATEGORY, sCG_CONNECTION_PROTOCOL, sCG_CHARACTER_PROTOCOL,
                            sCG_ITEM_PROTOCOL, sCG_CHAT_PROTOCOL}) {
    for (; table->name != nullptr; ++table) {
      if (table->value == code) {
        return table->name;
      }
    }
  }
  return "?";
}

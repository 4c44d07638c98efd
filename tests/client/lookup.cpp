// The second source file that includes the tables: looks a code's name up.
#include "protocol_tables.h"

const char* CodeName(const ProtocolEntry* table, int code) {
  for (; table->name != nullptr; ++table) {
    if (table->value == code) {
      return table->name;
    }
  }
  return nullptr;
}

// A program of two source files (this one and lookup.cpp) that both include the wrap headers,
// with the inline constexpr form of PROTOCOL_STRUCT: it prints every table, as client.cpp does,
// and looks a code's name up.
#include <cstring>

#include "protocol_tables.h"

#include "print_tables.h"  // after the tables it prints

static_assert(sCG_CATEGORY[0].value == CG_CONNECTION, "the tables are usable at compile time");

int main() {
  PrintTables();
  const char* name = CodeName(sCG_CONNECTION_PROTOCOL, CG_CONNECTION_HELLO_ACK);
  return name != nullptr && std::strcmp(name, "CG_CONNECTION_HELLO_ACK") == 0 ? 0 : 1;
}

// A build that uses protowrap's output as its users do: it defines PROTOCOL_STRUCT and the two
// entry macros, includes the protocol headers and their wrap headers, and prints every table.
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

#include "print_tables.h"

int main() {
  PrintTables();
  return 0;
}

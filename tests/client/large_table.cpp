// A table of 20,000 entries, made by the client header's own macros: its lookups and its test for
// repeated codes stay within the compilers' default limits on constant evaluation. A second table
// lacks its closing entry (its enumeration ended in "} ;"): every entry counts.
#include <protowrap/protocol_table.h>

// The tables are written as the wrap header writes them.
// clang-format off
// 2 x 10,000 numbers, 10000 to 29999, by pasting digits.
#define PW_DIGITS(m, p) m(p##0) m(p##1) m(p##2) m(p##3) m(p##4) m(p##5) m(p##6) m(p##7) m(p##8) m(p##9)
#define PW_TENS(m, p) PW_DIGITS(m, p##0) PW_DIGITS(m, p##1) PW_DIGITS(m, p##2) PW_DIGITS(m, p##3) \
  PW_DIGITS(m, p##4) PW_DIGITS(m, p##5) PW_DIGITS(m, p##6) PW_DIGITS(m, p##7) PW_DIGITS(m, p##8) \
  PW_DIGITS(m, p##9)
#define PW_HUNDREDS(m, p) PW_TENS(m, p##0) PW_TENS(m, p##1) PW_TENS(m, p##2) PW_TENS(m, p##3) \
  PW_TENS(m, p##4) PW_TENS(m, p##5) PW_TENS(m, p##6) PW_TENS(m, p##7) PW_TENS(m, p##8) \
  PW_TENS(m, p##9)
#define PW_THOUSANDS(m, p) PW_HUNDREDS(m, p##0) PW_HUNDREDS(m, p##1) PW_HUNDREDS(m, p##2) \
  PW_HUNDREDS(m, p##3) PW_HUNDREDS(m, p##4) PW_HUNDREDS(m, p##5) PW_HUNDREDS(m, p##6) \
  PW_HUNDREDS(m, p##7) PW_HUNDREDS(m, p##8) PW_HUNDREDS(m, p##9)
#define PW_ALL(m) PW_THOUSANDS(m, 1) PW_THOUSANDS(m, 2)

#define PW_ENUMERATOR(n) CG_LARGE_##n = n,
#define PW_ENTRY(n) MAKE_PROTOCOL_INFO(CG_LARGE_##n, n),

enum eCG_LARGE_PROTOCOL { PW_ALL(PW_ENUMERATOR) };
PROTOCOL_STRUCT sCG_LARGE_PROTOCOL[] = { PW_ALL(PW_ENTRY) MAKE_PROTOCOL_INFO_EOR() };

static_assert(protowrap::Size(sCG_LARGE_PROTOCOL) == 20000);
static_assert(protowrap::HasUniqueCodes(sCG_LARGE_PROTOCOL), "the codes are all different");
static_assert(protowrap::CodeOf(sCG_LARGE_PROTOCOL, "CG_LARGE_29999", -1) == 29999);
static_assert(protowrap::CodeOf(sCG_LARGE_PROTOCOL, "CG_LARGE_2999", -1) == -1);
static_assert(protowrap::CodeOf(sCG_LARGE_PROTOCOL, "CG_LARGE_299990", -1) == -1);
static_assert(protowrap::NameOf(sCG_LARGE_PROTOCOL, 29999) != nullptr);
static_assert(protowrap::NameOf(sCG_LARGE_PROTOCOL, 30000) == nullptr);

enum eCG_OPEN_PROTOCOL { CG_OPEN_A = 1, CG_OPEN_B };
PROTOCOL_STRUCT sCG_OPEN_PROTOCOL[] = { MAKE_PROTOCOL_INFO(CG_OPEN_A), MAKE_PROTOCOL_INFO(CG_OPEN_B), } ;
static_assert(protowrap::Size(sCG_OPEN_PROTOCOL) == 2);
static_assert(protowrap::Entries(sCG_OPEN_PROTOCOL).size() == 2);
static_assert(protowrap::CodeOf(sCG_OPEN_PROTOCOL, "CG_OPEN_B", -1) == 2);
static_assert(protowrap::NameOf(sCG_OPEN_PROTOCOL, 2) != nullptr);

int main() {
  return 0;
}

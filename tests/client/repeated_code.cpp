// A table with two names for one code, as protowrap writes it: HasUniqueCodes must stop the compile
// with its static_assert. The client test compiles it twice: with AGAIN_CODE 7 (the same code as
// CG_TWICE_HELLO) it must fail with the assertion's message, with AGAIN_CODE 8 it must compile.
#include <protowrap/protocol_table.h>

// clang-format off
enum eCG_TWICE_PROTOCOL
{
	CG_TWICE_HELLO = 7,
	CG_TWICE_AGAIN = AGAIN_CODE,
	CG_TWICE_LEAVE = 9,
};

PROTOCOL_STRUCT sCG_TWICE_PROTOCOL[] = 
{
	MAKE_PROTOCOL_INFO(CG_TWICE_HELLO , 7), 
	MAKE_PROTOCOL_INFO(CG_TWICE_AGAIN , AGAIN_CODE), 
	MAKE_PROTOCOL_INFO(CG_TWICE_LEAVE , 9), 
MAKE_PROTOCOL_INFO_EOR() };
// clang-format on

static_assert(protowrap::HasUniqueCodes(sCG_TWICE_PROTOCOL), "sCG_TWICE_PROTOCOL repeats a code");

int main() {
  return 0;
}

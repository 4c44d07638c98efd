// An enumerator that only a build which defines the header's own switch (a name its conditions
// test that nothing defines) makes too large: the warning names that build. The include, which
// protowrap cannot find, may define the switch too: in the other builds nothing is said.
#pragma once
#include "protocol_common.h"

enum eCG_PERHAPS_PROTOCOL
{
#ifndef PROTOCOL_COMMON_WIDE
	CG_PERHAPS_LAST = 0x0900,
#else
	CG_PERHAPS_LAST = 0x7FFFFFFF,  // expect-warning PW025:2
#endif
	CG_PERHAPS_NEXT,  // expect-warning PW018:2
};

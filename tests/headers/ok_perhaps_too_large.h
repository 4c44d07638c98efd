// An enumerator whose value only the include can settle: the check cannot tell from which value
// the next one goes on (here the small one), and says nothing of it.
#pragma once
#include "protocol_common.h"

enum eCG_PERHAPS_PROTOCOL
{
#ifndef PROTOCOL_COMMON_WIDE
	CG_PERHAPS_LAST = 0x0900,
#else
	CG_PERHAPS_LAST = 0x7FFFFFFF,
#endif
	CG_PERHAPS_NEXT,
};

// An enumerator whose value only the include can settle (protowrap cannot find it): the check
// cannot tell from which value the next one goes on, and says nothing of it.
#pragma once
#include "protocol_common.h"

enum eCG_PERHAPS_PROTOCOL
{
	CG_PERHAPS_LAST = 0x0FFFFFFF << PROTOCOL_CATEGORY_SHIFT >> 4,
	CG_PERHAPS_NEXT,
};

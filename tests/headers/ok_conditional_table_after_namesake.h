// Two tables in two namespaces declare the same names, and only the second has a conditional
// block, which every build compiles: each name is listed once in its own table, so the wrap
// header compiles.
#pragma once

#include "protocol_common.h"

namespace first {
enum eCG_ITEM_PROTOCOL
{
	CG_ITEM_PICK = 0x0310,
	CG_ITEM_DROP,
};
}

namespace second {
enum eCG_ITEM_PROTOCOL
{
	CG_ITEM_PICK = 0x0320,
#if PROTOCOL_CATEGORY_SHIFT == 8
	CG_ITEM_DROP,
#endif
};
}

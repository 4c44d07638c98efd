#pragma once
#include <stdint.h>
#include "CG_types.h"  // expect-warning
#include "types,v2.h"  // expect-warning
#include "level=2.h"  // expect-warning
//#include "CG_debug.h"

enum eCG_ITEM_PROTOCOL
{
	CG_ITEM_PICK = 1,
};

#pragma once
#include <stdint.h>
#include "CG_types.h"  // expect-warning PW009:1
#include "types,v2.h"  // expect-warning PW009:1
#include "level=2.h"  // expect-warning PW009:1
#include "enum entries.h"  // expect-warning PW009:1
//#include "CG_debug.h"

enum eCG_ITEM_PROTOCOL
{
	CG_ITEM_PICK = 1,
};

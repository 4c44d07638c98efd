#include "protocol_common.h"

enum eCG_ITEM_PROTOCOL
{
	CG_ITEM_PICK = MAKE_CODE(3, 1),  // expect-warning PW016:2
	CG_ITEM_DROP,
};

// An include in angle brackets that is no standard header: the check does not read it, so what it
// may define stays unknown. Here it defines PROTOCOL_CATEGORY_SHIFT as 8, and the value fits. A
// standard header of a short name beside it.
#include <protocol_common.h>
#include <new>
#ifndef PROTOCOL_CATEGORY_SHIFT
#define PROTOCOL_CATEGORY_SHIFT 40
#endif
enum eCG_SHIFTED_PROTOCOL
{
	CG_SHIFTED_BASE = 1LL << PROTOCOL_CATEGORY_SHIFT,
	CG_SHIFTED_NEXT,
};

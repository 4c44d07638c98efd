// A declaration that an include completes: what the include makes of it, the check does not
// judge; here it is a function's declaration, which the wrap header may repeat.
#pragma once
int HandleLogin
#include "login_parameters.h"
;
enum eCG_INCLUDED_PROTOCOL
{
	CG_INCLUDED_A = 0x1500,
};

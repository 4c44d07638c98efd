// A digraph include ("%:include", with or without blanks) stays live in the wrap header, where
// the rules rewrote its file name as they do any other text.
#pragma once
%:include "types,v2.h"  // expect-warning PW009:1
%:  include "level=2.h"  // expect-warning PW009:1
%:include <stdint.h>

enum eCG_DIGRAPH_INCLUDE_PROTOCOL
{
	CG_DIGRAPH_INCLUDE_A = 1,
};

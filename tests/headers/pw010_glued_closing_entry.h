// Definitions that no build of the header compiles, but the wrap header does, with its #if lines
// commented out. Where a name or a number stands right before "};", the closing entry that rule 8
// writes there is glued to it, one token that nothing declares.
#pragma once

#include "protocol_common.h"

#if 0
int gShift {PROTOCOL_CATEGORY_SHIFT};  // expect-warning PW010:1
unsigned gMask {0xFF};  // expect-warning PW010:1
const char* gName {"glue"};  // expect-warning PW010:1
char gLetter {'g'};  // expect-warning PW010:1
int gSpacedShift {PROTOCOL_CATEGORY_SHIFT} ;
// Rule 7 makes this an array, which its braces initialize.
int gCodes_PROTOCOL {PROTOCOL_CATEGORY_SHIFT} ;
#endif

enum eCG_GLUE_PROTOCOL
{
	CG_GLUE_ONE = 0x0C00,
};

// A null directive with a block comment after its '#': in the wrap header a line comment hides
// the comment's start, so its lines are code there.
#pragma once
#/* a comment that goes on
   over lines, which are code in the wrap header */  // expect-warning PW022:4
enum eCG_NULL_PROTOCOL
{
	CG_NULL_A = 0x0100,
};

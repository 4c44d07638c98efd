// A value from a macro whose name has a digit for its second character: a name, not a number, so
// its value is the macro's, and the enumerator after it is too large for the table.
#pragma once
#define V9 2147483647
enum eCG_MACRO_TOP_PROTOCOL
{
	CG_MACRO_TOP = V9,
	CG_MACRO_OVER,  // expect-warning PW018:2
};

// An enumerator whose name the rules rewrote: its entry's first argument is no name, and the check
// no longer knows the values that follow (which here fit an int, one past the value before it).
#pragma once
enum eCG_MIDDLE_PROTOCOL
{
	CG_MIDDLE_TOP = 2147483647,
	CG_MIDDLE_PROTOCOL_LOW = 5,  // expect-warning PW006:2
	CG_MIDDLE_NEXT,
};

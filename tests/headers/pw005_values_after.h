// A value that names another enumerator: the rules opened an entry inside it, and the check no
// longer knows the values that follow (which here fit an int, one past the value it had before).
#pragma once
enum eCG_NAMED_VALUE_PROTOCOL
{
	CG_NAMED_TOP = 2147483647,
	CG_NAMED_BELOW = CG_NAMED_TOP - 5,  // expect-warning PW005:2
	CG_NAMED_NEXT,
};

// Two tables, the first ending at int's largest value: the second table's numbering starts again
// at 0, as its enumeration's does.
#pragma once
enum eCG_HIGH_PROTOCOL
{
	CG_HIGH_TOP = 0x7FFFFFFF,
};
enum eCG_LOW_PROTOCOL
{
	CG_LOW_FIRST,
	CG_LOW_SECOND,
};

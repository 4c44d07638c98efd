// A table closed as the rules close it, then one whose enumeration ends in "} ;": the second
// gets no closing entry, whatever the first had.
#pragma once
enum eCG_CLOSED_FIRST_PROTOCOL
{
	CG_CLOSED_FIRST_A = 0x1400,
};
enum eCG_OPEN_SECOND_PROTOCOL
{
	CG_OPEN_SECOND_A = 0x1410,
} ;  // expect-warning PW024:1

// A line comment after an entry that goes on to the next line (its last byte is a backslash): the
// entry on that line is part of the comment, for the compilers as for the header, so the last
// entry's value is the largest an int holds, not one more.
#pragma once
enum eCG_SPLICE_PROTOCOL
{
	CG_SPLICE_A = 0x7FFFFFFE,  // the next line belongs to this comment \
	CG_SPLICE_B,
	CG_SPLICE_C,
};

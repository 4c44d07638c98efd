// A ',' in a value ends its entry early: the enumerators after it are numbered from a value the
// check does not know, so it says nothing of their size (here the next one is 2).
#pragma once
#define PROTOCOL_SECOND(first, second) second

enum eCG_AFTER_COMMA_PROTOCOL
{
	CG_AFTER_COMMA_LARGEST = 0x7FFFFFFF,
	CG_AFTER_COMMA_PAIR = PROTOCOL_SECOND(0x7FFFFFFF, 1),  // expect-warning PW016:2
	CG_AFTER_COMMA_NEXT,
};

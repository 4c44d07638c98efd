// A header that defines MAKE_PROTOCOL_INFO with two parameters: an entry whose value holds "=="
// gives it four arguments ("1 ,, 1 ? 8 : 9" after the rules), and fails there.
#pragma once

#define MAKE_PROTOCOL_INFO(name, value) name

enum eCG_FOUR_PROTOCOL
{
	CG_FOUR_A = 1,
	CG_FOUR_B = 1 == 1 ? 8 : 9,  // expect-warning PW021:2
};

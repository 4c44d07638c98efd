// A header that defines MAKE_PROTOCOL_INFO_EOR with two parameters: the wrap header's closing
// entries give it one (empty) argument. With one parameter it would take that empty argument.
#pragma once

#define MAKE_PROTOCOL_INFO_EOR(first, second) { nullptr, 0 }

enum eCG_PAIR_PROTOCOL
{
	CG_PAIR_HELLO = 0x0B10,
	CG_PAIR_BYE,
};  // expect-warning PW021:1

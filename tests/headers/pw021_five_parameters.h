// A header that defines MAKE_PROTOCOL_INFO with five parameters: an entry whose value holds three
// "<=" gets five arguments after the rules and is fine; one with two "<=" gets four, and fails.
#pragma once

#define MAKE_PROTOCOL_INFO(name, a, b, c, d) { #name, name }

enum eCG_FIVE_PROTOCOL
{
	CG_FIVE_A = 1 <= 2 <= 3 <= 4,
	CG_FIVE_B = 1 <= 2 <= 3,  // expect-warning PW021:2
};

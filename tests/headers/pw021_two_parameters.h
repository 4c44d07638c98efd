// A header that defines MAKE_PROTOCOL_INFO with two parameters: entries with a value, however
// written, give it two arguments; the first entry without one gives it one, and fails there.
#pragma once

#define MAKE_PROTOCOL_INFO(name, value) name

enum eCG_TWO_PROTOCOL
{
	CG_TWO_LOGIN = (1 << 2),
	CG_TWO_LOGOUT = 5,
	CG_TWO_MOVE,  // expect-warning PW021:2
	CG_TWO_JUMP = /* again */ 7,
};

// A header that defines MAKE_PROTOCOL_INFO with one parameter, whose first value is an expression:
// that entry is the first to give it two arguments, not the plain one after it.
#pragma once

#define MAKE_PROTOCOL_INFO(name) name

enum eCG_ONE_PROTOCOL
{
	CG_ONE_LOGIN,
	CG_ONE_LOGOUT = (1 << 2),  // expect-warning PW021:2
	CG_ONE_MOVE = 5,
};

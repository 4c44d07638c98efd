// A header that defines MAKE_PROTOCOL_INFO with one parameter: an entry with a value gives it two
// arguments, which the wrap header's other entries do not.
#pragma once

#define MAKE_PROTOCOL_INFO(name) name

enum eCG_ONE_PROTOCOL
{
	CG_ONE_LOGIN,
	CG_ONE_LOGOUT = 5,  // expect-warning PW021:2
	CG_ONE_MOVE,
};

// A header that defines MAKE_PROTOCOL_INFO itself, with two parameters: the wrap header's entries
// without a value give it one argument (the first of them gets the warning).
#pragma once

#define MAKE_PROTOCOL_INFO(category, number) (((category) << 8) | (number))

enum eCG_OWN_PROTOCOL
{
	CG_OWN_LOGIN,  // expect-warning PW021:2
	CG_OWN_LOGOUT,
};

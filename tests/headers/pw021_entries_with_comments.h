// A header that defines MAKE_PROTOCOL_INFO itself, with two parameters, whose entries carry block
// comments: the first entry without a value gets the warning, however the entries are read.
#pragma once

#define MAKE_PROTOCOL_INFO(category, number) (((category) << 8) | (number))

enum eCG_NOTED_PROTOCOL
{
	CG_NOTED_LOGIN /* first */,  // expect-warning PW021:2
	CG_NOTED_LOGOUT /* second */,
};

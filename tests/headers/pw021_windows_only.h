// A header that defines MAKE_PROTOCOL_INFO with one parameter in Windows builds only: there, an
// entry with a value gives it two arguments; Linux builds compile the tables.
#pragma once

#ifdef _WIN32
#define MAKE_PROTOCOL_INFO(name) name
#endif

enum eCG_WINDOWS_ONLY_PROTOCOL
{
	CG_WINDOWS_ONLY_HELLO = 0x0B40,  // expect-warning PW021:2
	CG_WINDOWS_ONLY_BYE,
};

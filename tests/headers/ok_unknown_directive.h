// A misspelt directive that only Windows builds reach: the header does not compile there, in the
// only builds in which its table would fail.
#pragma once

#ifdef _WIN32
#define PROTOCOL_LAST 0x7FFFFFFF
#errror "not for Windows yet"
#else
#define PROTOCOL_LAST 0x0700
#endif

enum eCG_MISSPELT_PROTOCOL
{
	CG_MISSPELT_LAST = PROTOCOL_LAST,
	CG_MISSPELT_AFTER,
};

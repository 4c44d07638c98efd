// Enumerators that some build configuration does not compile: a Debug build only, one platform
// only, or a version that the header's own macro rules out. The include makes unknown names
// (a macro it may define) say nothing.
#pragma once
#include "protocol_common.h"

#define PROTOCOL_VERSION 3

enum eCG_PLATFORM_PROTOCOL
{
	CG_PLATFORM_HELLO = 0x0500,
#if defined(__cplusplus) && defined(_DEBUG)
	CG_PLATFORM_DUMP,  // expect-warning PW017:2
#endif
#ifdef _WIN32
	CG_PLATFORM_WINDOWS = 0x0510,  // expect-warning PW017:2
#else
	CG_PLATFORM_POSIX = 0x0511,  // expect-warning PW017:2
#endif
#if PROTOCOL_VERSION >= 4
	CG_PLATFORM_NEXT,  // expect-warning PW017:2
#endif
#ifdef PROTOCOL_COMMON_LEVEL
	CG_PLATFORM_LEVEL,
#endif
};

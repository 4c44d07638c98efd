// A switch that only the Linux Debug build defines, and a value it chooses: only there is the
// next enumerator too large.
#pragma once

#if defined(_DEBUG) && defined(__linux__)
#define LINUX_TRACE 1
#endif

#ifdef LINUX_TRACE
#define TRACE_BASE 0x7FFFFFFF
#else
#define TRACE_BASE 0x0100
#endif

enum eCG_TRACE_BASE_PROTOCOL
{
	CG_TRACE_BASE_FIRST = TRACE_BASE,
	CG_TRACE_BASE_NEXT,  // expect-warning PW018:2
};

// Values that only one configuration makes too large for an int: the header's own macro
// differs between the platforms, and the next enumerator goes on from it; an enumerator that only
// a Debug build compiles.
#pragma once

#if defined(_WIN64)
#define PROTOCOL_WIDE 0x80000000
#else
#define PROTOCOL_WIDE 0x7FFF
#endif

enum eCG_WIDE_PROTOCOL
{
	CG_WIDE_FIRST = PROTOCOL_WIDE,  // expect-warning PW018:2
	CG_WIDE_NEXT,  // expect-warning PW018:2
};

// Only a Debug build has the largest int, and there the next enumerator is too large.
enum eCG_TRACE_PROTOCOL
{
#ifdef _DEBUG
	CG_TRACE_LAST = 0x7FFFFFFF,  // expect-warning PW017:2
#endif
	CG_TRACE_AFTER,  // expect-warning PW018:2
};

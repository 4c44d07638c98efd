// A function-like macro that the Linux Debug build alone undefines: a condition that asks for it
// fails there alone, so that build leaves out the enumerator that every other build lists.
#pragma once
#define PROTO_QUIET(x) (x)
#if defined(_DEBUG) && defined(__linux__)
#undef PROTO_QUIET
#endif
enum eCG_TRACE_PROTOCOL
{
	CG_TRACE_ON,
#if defined(PROTO_QUIET)
	CG_TRACE_QUIET,  // expect-warning PW017:2
#endif
};

// A value too large in Linux release builds only, where a macro of the header's makes the first
// value int's largest: the warning is that build's.
#pragma once
#if defined(__linux__) && !defined(DEBUG)
#define PROTO_BASE 0x7FFFFFFF
#else
#define PROTO_BASE 0
#endif
enum eCG_BASE_PROTOCOL
{
	CG_BASE_A = PROTO_BASE,
	CG_BASE_B,  // expect-warning PW018:2
};

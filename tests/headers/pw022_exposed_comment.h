// A block comment that opens on a preprocessor line and closes on a later one: the wrap header
// comments the line out, so the rest of the comment becomes code. (And the enumeration exists
// only in a Debug build.)
#pragma once

#ifdef _DEBUG /* codes that only a Debug build
   sends, as the server logs them */  // expect-warning PW022:4
enum eCG_TRACE_PROTOCOL
{
	CG_TRACE_ON = 0x0700,  // expect-warning PW017:2
};
#endif

#ifdef _DEBUG /* the trace codes, also
#define TRACE_CODES 1
   under this name */  // expect-warning PW022:4
enum eCG_DEBUG_PROTOCOL
{
	CG_DEBUG_ON = 0x0701,  // expect-warning PW017:2
};
#endif

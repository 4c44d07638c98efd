// A name that a function-like macro of the header's also names, without a '(' after it: no
// expansion there, so the definition is judged, and the wrap header repeats it where Linux has
// compiled the header's own.
#pragma once
typedef int Session;
#ifdef _WIN32
#define Session(x) x
#endif
enum eCG_SESSION_PROTOCOL
{
	CG_SESSION_OPEN = 0x1000,
};
#ifdef __linux__
Session gSession;  // expect-warning PW010:1
#endif

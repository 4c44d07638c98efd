// A header that only a Linux release build compiles (the others stop at its #error): its fault is
// that build's, and the warning says so in full.
#pragma once
#if defined(_WIN32) || defined(_DEBUG)
#error this header is for Linux release builds
#endif
enum eCG_RELEASE_PROTOCOL
{
	CG_RELEASE_A,
	CG_RELEASE_B  // expect-warning PW001:2
};

// An enumerator listed before a conditional block and again inside it: the builds that skip the
// block compile the header, and their table lists it twice (Windows redeclares it and stops).
#pragma once
enum eCG_TWICE_PROTOCOL
{
	CG_TWICE_A,
	CG_TWICE_B,
#ifdef _WIN32
	CG_TWICE_A,  // expect-warning PW025:2
#endif
};

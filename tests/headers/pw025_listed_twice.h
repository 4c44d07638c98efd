// An enumerator that two branches declare: the wrap header keeps both, and its table lists the
// enumerator twice, which compiles.
#pragma once

enum eCG_TWICE_PROTOCOL
{
	CG_TWICE_HELLO = 0x0D00,
#ifdef _WIN32
	CG_TWICE_PLATFORM = 0x0D10,
#else
	CG_TWICE_PLATFORM = 0x0D20,  // expect-warning PW025:2
#endif
	CG_TWICE_BYE,
};

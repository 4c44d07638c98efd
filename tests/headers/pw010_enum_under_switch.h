// An enumeration that the rules leave as it is, under a switch of the header's: the wrap header
// compiles it in every build, where its ',' is a ')' now, so every build fails, not just the
// switch's.
#pragma once
#ifdef PROTO_OLD_COLORS
enum Color { RED, GREEN };  // expect-warning PW010:1
#endif
enum eCG_COLOR_PROTOCOL
{
	CG_COLOR_A = 0x0100,
};

// A class defined with variables after its body, under a switch of the header's: the wrap header
// compiles it in every build, where the ',' between the variables is a ')' now, so every build
// fails, not just the switch's.
#pragma once
#ifdef PROTO_OLD_PAIRS
struct Pair { int a; } gFirstPair, gSecondPair;  // expect-warning PW010:1
#endif
enum eCG_PAIR_PROTOCOL
{
	CG_PAIR_A = 0x0100,
};

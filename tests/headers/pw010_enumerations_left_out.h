// Enumerations that the header leaves out (#if 0) and the wrap header compiles: one with a ','
// that the rules broke fails in every build, one that they left whole is defined only once.
#pragma once
#if 0
enum Shade { DARK, LIGHT };  // expect-warning PW010:1
enum Tone { WARM } ;
#endif
enum eCG_HIDDEN_PROTOCOL
{
	CG_HIDDEN_A = 0x1600,
};

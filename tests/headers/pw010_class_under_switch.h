// A class with a class inside, under a switch of the header's: the wrap header compiles it in
// every build, with a closing entry before the inner "};" now, so every build fails, not just the
// switch's.
#pragma once
#ifdef PROTO_OLD_SHAPES
struct Shape { struct Corner { int x; }; };  // expect-warning PW010:1
#endif
enum eCG_SHAPE_PROTOCOL
{
	CG_SHAPE_A = 0x0100,
};

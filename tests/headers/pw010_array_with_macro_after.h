// Arrays with a team macro after their brackets: each macro stands for nothing or for more
// brackets, so each definition stays an array's, and the wrap header defines it a second time.
#pragma once

#define PROTO_UNUSED
#define PROTO_PAIR [2]

int gCodes[3] PROTO_UNUSED;  // expect-warning PW010:1
static int gPairs[3] PROTO_PAIR;  // expect-warning PW010:1
extern int gShared[3] PROTO_UNUSED;
#if 0
int gSpare[3] PROTO_UNUSED;
#endif

enum eCG_ARRAY_PROTOCOL
{
	CG_ARRAY_A = 1,
};

// A value from macros that double it six times: they expand to several times the header.
#pragma once

#define PROTOCOL_X0 0x02000000LL
#define PROTOCOL_X1 (PROTOCOL_X0 + PROTOCOL_X0)
#define PROTOCOL_X2 (PROTOCOL_X1 + PROTOCOL_X1)
#define PROTOCOL_X3 (PROTOCOL_X2 + PROTOCOL_X2)
#define PROTOCOL_X4 (PROTOCOL_X3 + PROTOCOL_X3)
#define PROTOCOL_X5 (PROTOCOL_X4 + PROTOCOL_X4)
#define PROTOCOL_X6 (PROTOCOL_X5 + PROTOCOL_X5)

enum eCG_GROWN_PROTOCOL
{
	CG_GROWN_BASE = 0x0A00,
	CG_GROWN_TOP = PROTOCOL_X6,  // expect-warning PW018:2
};

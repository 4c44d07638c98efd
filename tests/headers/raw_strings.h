// Raw string literals hold quotes, '#' and "};" that are no part of the code around them; a real
// cause after them is still found.
#pragma once
#include "protocol_common.h"

static_assert(sizeof(ProtocolCode) > 1 && R"(codes are "unsigned short")");
static_assert(sizeof(ProtocolCode) < 8 && R"x(a lone " and a )" inside)x");
static_assert(sizeof(ProtocolCode) < 9 && u8R"(two
lines, # and }; too)");

enum eCG_RANK_PROTOCOL
{
	CG_RANK_LIST = 0x900,
	CG_RANK_SELF  // expect-warning PW001:2
};

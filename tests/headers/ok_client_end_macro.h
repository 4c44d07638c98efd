// A header that defines the closing entry's macro exactly as the client does: a redefinition that
// the compilers accept, so the wrap header's tables compile.
#pragma once

#define MAKE_PROTOCOL_INFO_EOR() { nullptr, 0 }

enum eCG_SAME_PROTOCOL
{
	CG_SAME_HELLO = 0x0B00,
	CG_SAME_BYE,
};

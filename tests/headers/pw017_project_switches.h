// The project's own switches, spelled as reserved names too: no default build defines them, so
// the tables name enumerators that the header does not declare there.
#pragma once
#include "protocol_config.h"

#ifdef _DEV_SERVER
enum eCG_DEV_PROTOCOL
{
	CG_DEV_RELOAD = 0x0700,  // expect-warning PW017:2
	CG_DEV_DUMP,
};
#endif

enum eCG_SERVER_PROTOCOL
{
	CG_SERVER_HELLO = 0x0800,
#if defined(_SERVER_BUILD) && _SERVER_BUILD >= 2
	CG_SERVER_SHARD,  // expect-warning PW017:2
#endif
#if PROTOCOL_CONFIG_LEVEL >= 2
	CG_SERVER_LEVEL,
#endif
};

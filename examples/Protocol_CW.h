// Client <-> world server protocol codes of Talvenor.
#pragma once
#include <stdint.h>
//#include "ProtocolDebug.h"

// The world server packs its category codes, hence the _PACK name.
enum eCW_CATEGORY_PACK
{
	CW_CONNECTION = 1,
	CW_GUILD = 2,
	CW_MARKET = 3,
};

enum eCW_CONNECTION_PROTOCOL
{
	CW_CONNECTION_ENTER_SYN = 256,
	CW_CONNECTION_ENTER_ACK,
	CW_CONNECTION_LEAVE_CMD,
};

enum eCW_GUILD_PROTOCOL
{
	CW_GUILD_CREATE_SYN = 512,
	CW_GUILD_CREATE_ACK,
	CW_GUILD_INVITE_SYN,
	CW_GUILD_INVITE_ACK,
};

enum eCW_MARKET_PROTOCOL
{
	CW_MARKET_LIST_SYN = 768,
	CW_MARKET_LIST_ACK,
	CW_MARKET_BUY_SYN = 780,
	CW_MARKET_BUY_ACK,
};

// Several causes in one header: each gets its own warning.
#include "protocol_common.h"

enum eCW_CATEGORY : int  // expect-warning
{
	CW_GUILD = 1,
	CW_MARKET = CW_GUILD + 1,  // expect-warning
};

enum eCW_MARKET_PROTOCOL
{
	CW_MARKET_BUY,
	MARKET_SELL,  // expect-warning
	CW_MARKET_LAST  // expect-warning
};

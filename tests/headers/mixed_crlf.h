// Several causes in one header: each gets its own warning. Two of them cancel out: the entry
// that a value naming an enumerator leaves open (CW_MARKET) runs on, as the compiler collects
// its arguments, up to the stray ')' of an enumerator without prefix (MARKET_SELL). The wrap
// header's first table swallows the second, which compiles, so neither gets a warning.
#include "protocol_common.h"

enum eCW_CATEGORY : int  // expect-warning PW002:19
{
	CW_GUILD = 1,
	CW_MARKET = CW_GUILD + 1,
};

enum eCW_MARKET_PROTOCOL
{
	CW_MARKET_BUY,
	MARKET_SELL,
	CW_MARKET_LAST  // expect-warning PW001:2
};

// Commas at the start of lines work, as long as the last enumerator has one after it too.
enum eCW_TRADE_PROTOCOL
{
	  CW_TRADE_OFFER = 100
	, CW_TRADE_ACCEPT
	, CW_TRADE_CANCEL
	,
};
#define CW_TRADE_LIMIT 16 /* commented out in the wrap header, with its CW_ */
#define CW_TRADE_NAME(x) \
	"trade " #x

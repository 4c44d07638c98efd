enum eCW_CATEGORY_PACK { CW_GUILD, CW_MARKET, };

// one-line enumerations, CR LF line ends, no values
enum eCW_GUILD_PROTOCOL { CW_GUILD_JOIN, CW_GUILD_LEAVE, CW_GUILD_KICK, };
enum eCW_MARKET_PROTOCOL { CW_MARKET_BUY, CW_MARKET_SELL, };

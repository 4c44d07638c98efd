enum eCW_GUILD_PROTOCOL
{
	CW_GUILD_JOIN = 300,
	CW_GUILD_LEAVE = CW_GUILD_JOIN + 1,  // expect-warning
	CW_GUILD_KICK,
	CW_GUILD_LAST = 2 * CW_GUILD_KICK,  // expect-warning
};

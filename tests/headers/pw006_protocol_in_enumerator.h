enum eCG_SYSTEM_PROTOCOL
{
	CG_SYSTEM_PING = 1,
	CG_PROTOCOL_VERSION = 3,  // expect-warning
};

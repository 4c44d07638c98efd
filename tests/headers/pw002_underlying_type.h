enum eCG_LOGIN_PROTOCOL : unsigned short  // expect-warning
{
	CG_LOGIN_REQ = 1,
	CG_LOGIN_ACK,
};

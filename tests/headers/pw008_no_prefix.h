enum eCG_LOGIN_PROTOCOL
{
	CG_LOGIN_REQ = 1,
	LOGIN_ACK,  // expect-warning PW008:2
	CG_LOGIN_NAK,
};

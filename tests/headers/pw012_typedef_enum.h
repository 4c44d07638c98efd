typedef enum eCG_LOGIN_PROTOCOL  // expect-warning PW012:1
{
	CG_LOGIN_REQ = 1,
} LoginProtocol, *LoginProtocolPointer;

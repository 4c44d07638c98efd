typedef enum eCG_LOGIN_PROTOCOL  // expect-warning
{
	CG_LOGIN_REQ = 1,
} LoginProtocol, *LoginProtocolPointer;

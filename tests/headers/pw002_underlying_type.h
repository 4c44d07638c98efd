enum eCG_LOGIN_PROTOCOL : unsigned short  // expect-warning PW002:25
{
	CG_LOGIN_REQ = 1,
	CG_LOGIN_ACK,
};

// Without _PROTOCOL in its name: no [] = either, and still the type.
enum eCG_LOGIN : unsigned short  // expect-warning PW002:16
{
	CG_LOGIN_BYE = 3,  // expect-warning PW004:2
};

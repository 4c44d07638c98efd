enum class eCG_LOGIN_PROTOCOL  // expect-warning PW003:1
{
	CG_LOGIN_REQ = 1,
	CG_LOGIN_ACK,
};

enum struct eCG_LOGOUT_PROTOCOL  // expect-warning PW003:1
{
	CG_LOGOUT_REQ = 1,
};

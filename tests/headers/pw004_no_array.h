enum eCG_RESULT
{
	CG_RESULT_OK,  // expect-warning PW004:2
	CG_RESULT_FAILED,
};

enum eCG_LOGIN_PROTOCOL
{
	CG_LOGIN_REQ = 1,
};

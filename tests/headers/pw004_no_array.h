enum eCG_RESULT  // expect-warning
{
	CG_RESULT_OK,
	CG_RESULT_FAILED,
};

enum eCG_LOGIN_PROTOCOL
{
	CG_LOGIN_REQ = 1,
};

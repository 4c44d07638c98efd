enum CG_LOGIN_PROTOCOL  // expect-warning
{
	CG_LOGIN_REQ = 1,
};

enum CG_LOGIN_PROTOCOL  // expect-warning PW014
{
	CG_LOGIN_REQ = 1,
};

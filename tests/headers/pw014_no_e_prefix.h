enum CG_LOGIN_PROTOCOL  // expect-warning PW014:1
{
	CG_LOGIN_REQ = 1,
};

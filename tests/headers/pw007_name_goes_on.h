enum eCG_CATEGORY2  // expect-warning PW007:1
{
	CG_A = 1,
};

enum eCG_LOGIN_PROTOCOL_EX  // expect-warning PW007:1
{
	CG_LOGIN_EX_REQ = 1,
};

// Enumerators declared only where the client's macros are not defined: the client defines both
// before it includes the header, so there they are missing, and the tables name them.
#pragma once
enum eCG_CLIENT_CONDITION_PROTOCOL
{
	CG_CLIENT_CONDITION_A = 1,
#if !defined(MAKE_PROTOCOL_INFO)
	CG_CLIENT_CONDITION_B = 2,  // expect-warning PW017:2
#endif
};
enum eCW_CLIENT_CONDITION_PROTOCOL
{
	CW_CLIENT_CONDITION_A = 1,
#ifndef MAKE_PROTOCOL_INFO_EOR
	CW_CLIENT_CONDITION_B = 2,  // expect-warning PW017:2
#endif
};

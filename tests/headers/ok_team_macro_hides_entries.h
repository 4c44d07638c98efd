// A macro of the team's that takes the entries it is given away (in braces too), in the header
// and in the wrap header alike: what stands inside it is in no enumeration and no table, and the
// rest of the table, which the check does not follow past such a macro, compiles.
#pragma once
#define TEAM_HIDE(...)
enum eCG_HIDE_PROTOCOL
{
	CG_HIDE_SHOWN,
	TEAM_HIDE(CG_HIDE_GONE = 0x80000000,)
	CG_HIDE_NEXT,
	TEAM_HIDE({ CG_HIDE_FAR = 0x80000001, CG_HIDE_AWAY, })
	CG_HIDE_LAST,
};

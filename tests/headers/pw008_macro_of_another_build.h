// A name that is a macro only where its enumerator is not compiled: on Linux it is an enumerator
// without prefix, which the Windows builds' macro does not hide; on Windows the macro stands for
// an entry of its own, and that table compiles.
#pragma once
#ifdef _WIN32
#define TEAM_EXTRA MAKE_PROTOCOL_INFO(CG_EXTRA_ONE
#endif
enum eCG_EXTRA_PROTOCOL
{
	CG_EXTRA_ONE,
#ifndef _WIN32
	TEAM_EXTRA,  // expect-warning PW008:2
#endif
};

// An #ifdef that nothing closes: the header compiles nowhere, so the check says nothing of the
// enumerator that the block holds, though the wrap header lists it everywhere.
#pragma once
enum eCG_UNCLOSED_PROTOCOL
{
	CG_UNCLOSED_A = 1,
#ifdef _DEBUG
	CG_UNCLOSED_B = 2,
};

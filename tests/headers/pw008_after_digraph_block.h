// A table and a definition after a digraph block, which stays a block in the wrap header: once it
// has ended, what follows is read as any other text.
%:pragma once

%:ifdef _WIN32
#define PROTOCOL_EXPORT __declspec(dllexport)
%:endif

enum eCG_AFTER_BLOCK_PROTOCOL
{
	CG_AFTER_BLOCK_HELLO = 0x0B50,
	AFTER_BLOCK_BYE,  // expect-warning PW008:2
};

int g_afterBlockCount;  // expect-warning PW010:1

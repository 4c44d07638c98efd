// An include whose file a function-like macro of the header's names: the wrap header includes the
// same file, after the header defined the macro.
#pragma once
#define PROTO_SYSTEM(name) <name>
#include PROTO_SYSTEM(cstdint)
enum eCG_SIZED_PROTOCOL
{
	CG_SIZED_A = 0x0100,
};

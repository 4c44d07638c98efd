// A header that defines MAKE_PROTOCOL_INFO itself, variadic as the client does: entries with a
// value and without both fit it, and the wrap header compiles.
#pragma once

#define MAKE_PROTOCOL_INFO(name, ...) { #name, name }

enum eCG_VARIADIC_PROTOCOL
{
	CG_VARIADIC_A = 0x1200,
	CG_VARIADIC_B,
};

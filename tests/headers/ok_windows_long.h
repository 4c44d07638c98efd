// On Windows long has 32 bits: 1L << 31 is an int's value there (C++20 shifts modulo the width),
// and the table takes it. On Linux the macro is another value.
#pragma once

#ifdef _WIN32
#define PROTOCOL_WIDE_TOP (1L << 31)
#else
#define PROTOCOL_WIDE_TOP 1
#endif

enum eCG_WIDE_PROTOCOL
{
	CG_WIDE_TOP = PROTOCOL_WIDE_TOP,
};

// On Windows long has 32 bits: 1L << 31 is an int's value there (C++20 shifts modulo the width),
// and the table takes it. On Linux the other value is declared.
#pragma once

enum eCG_WIDE_PROTOCOL
{
#ifdef _WIN32
	CG_WIDE_TOP = 1L << 31,
#else
	CG_WIDE_TOP = 1,
#endif
};

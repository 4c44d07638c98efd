// Values outside int: the tables' int cannot hold them.
#pragma once

enum eCG_FLAG_PROTOCOL
{
	CG_FLAG_LOW = 1 << 30,
	CG_FLAG_SIGN = 1 << 31,
	CG_FLAG_MIN = -2147483647 - 1,
	CG_FLAG_MAX = 0x7FFFFFFF,
	CG_FLAG_NEXT,  // expect-warning
	CG_FLAG_HIGH = 0x80000000,  // expect-warning
	CG_FLAG_WIDE = 1LL << 40,  // expect-warning
	CG_FLAG_MASK = ~0u,  // expect-warning
	CG_FLAG_LOWER = 0xffffffff,  // expect-warning
	CG_FLAG_BACK = (1LL << 40) >> 20,
	CG_FLAG_CHAR = 'x',
};

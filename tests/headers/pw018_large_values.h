// Values outside int: the tables' int cannot hold them.
#pragma once

enum eCG_FLAG_PROTOCOL
{
	CG_FLAG_LOW = 1 << 30,
	CG_FLAG_SIGN = 1 << 31,
	CG_FLAG_MIN = -2147483647 - 1,
	CG_FLAG_MAX = 0x7FFFFFFF,
	CG_FLAG_NEXT,  // expect-warning PW018:2
	CG_FLAG_HIGH = 0x80000000,  // expect-warning PW018:2
	CG_FLAG_WIDE = 1LL << 40,  // expect-warning PW018:2
	CG_FLAG_MASK = ~0u,  // expect-warning PW018:2
	CG_FLAG_LOWER = 0xffffffff,  // expect-warning PW018:2
	CG_FLAG_BACK = (1LL << 40) >> 20,
	CG_FLAG_CHAR = 'x',
};

// Numbered one after another up to the largest int, and one more.
enum eCG_COUNT_PROTOCOL
{
	CG_COUNT_NEAR = 0x7FFFFFFD,
	CG_COUNT_NEXT /* one more */,
	CG_COUNT_LAST /* the largest int */,
	CG_COUNT_OVER /* one too many */,  // expect-warning PW018:2
};

#pragma once

enum eCG_SHOP_PROTOCOL
{
	CG_SHOP_OPEN = 10,
	CG_SHOP_BUY,
	CG_SHOP_CLOSE  // expect-warning PW001:2
};

enum eCG_BANK_PROTOCOL
{
	CG_BANK_OPEN = 20,
	CG_BANK_CLOSE = 23  // expect-warning PW001:2
};

enum eCG_SAFE_PROTOCOL
{
	CG_SAFE_OPEN = 30,
	CG_SAFE_CLOSE = 31 };  // expect-warning PW001:2

// After the entries that are never closed, the header's other faults are found as well.
int gBankCount = 0;  // expect-warning PW010:1

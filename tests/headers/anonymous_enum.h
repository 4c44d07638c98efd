// Unnamed enumerations get no table: the compiler blames their enumerators, declared again.
#pragma once

enum
{
	CG_LIMIT_USERS = 100,  // expect-warning PW004:2
	CG_LIMIT_ROOMS = 8,
};

enum : unsigned char { kSlotCount = 4 };  // expect-warning PW010:24

enum eCG_SLOT_PROTOCOL
{
	CG_SLOT_LOCK = 0xB00,
};

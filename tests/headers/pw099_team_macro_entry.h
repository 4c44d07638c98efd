// An enumerator that the header's own macro names: the wrap header's table gets the macro without
// a MAKE_PROTOCOL_INFO( entry, so its comma leaves a stray ')'. The rest of the table is still
// read as the table: the enumerator after it without a prefix is a fault of its own.
#pragma once

#define ITEM_EXTRA CG_ITEM_EXTRA

enum eCG_EXTRA_ITEM_PROTOCOL
{
	CG_ITEM_PICK = 0x0310,
	ITEM_EXTRA,  // expect-warning PW099:12
	CG_ITEM_DROP,
	ITEM_LOST,  // expect-warning PW008:2
};

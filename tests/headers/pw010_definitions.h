#pragma once
#include <stdint.h>

const int kMaxPacket = 4096;  // expect-warning
struct PacketHeader  // expect-warning
{
	uint16_t size;
	uint16_t code;
};
inline int PacketCode(int category, int number) { return category << 8 | number; }  // expect-warning
int gPacketsSent;  // expect-warning
enum Direction { kIn, kOut };  // expect-warning

enum eCG_ITEM_PROTOCOL
{
	CG_ITEM_PICK = 1,
};
inline int PacketSize(int entries)  // expect-warning
{
	if (entries > 0) { return entries * 4; }
	return 0;
}
enum eCG_SHOP_PROTOCOL
{
	CG_SHOP_BUY = 2,
};

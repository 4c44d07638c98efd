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

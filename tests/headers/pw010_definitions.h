#pragma once
#include <stdint.h>

const int kMaxPacket = 4096;  // expect-warning PW010:1
struct PacketHeader  // expect-warning PW010:1
{
	uint16_t size;
	uint16_t code;
};
inline int PacketCode(int category, int number) { return category << 8 | number; }  // expect-warning PW010:1
int gPacketsSent;  // expect-warning PW010:1
typedef uint32_t PacketCount;
PacketCount gPacketsLost;  // expect-warning PW010:1
enum Direction { kIn, kOut };  // expect-warning PW010:1

enum eCG_ITEM_PROTOCOL
{
	CG_ITEM_PICK = 1,
};
inline int PacketSize(int entries)  // expect-warning PW010:1
{
	if (entries > 0) { return entries * 4; }
	return 0;
}
enum eCG_SHOP_PROTOCOL
{
	CG_SHOP_BUY = 2,
};
extern "C" {
int gPacketsKept;  // expect-warning PW010:1
}
enum Heading { kNorth, kSouth } gHeading = kNorth, gHeadings[2] = {kNorth, kSouth};  // expect-warning PW010:1

// Declarations with export macros between the keyword and the name, as DLL headers write them.
#pragma once
#define PROTO_API
#define NET_EXPORT_PRIVATE

class PROTO_API CTable;
struct NET_EXPORT_PRIVATE PacketHeader;
class [[deprecated]] COldTable;
PROTO_API void Dispatch(int code);

enum eCG_TRADE_PROTOCOL
{
	CG_TRADE_OPEN = 0xA00,
	CG_TRADE_CLOSE,
};

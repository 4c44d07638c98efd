// Plain declarations beside the enumerations: repeated in the wrap header, and harmless there.
#pragma once
#include "protocol_common.h"

struct PacketHeader;
class Session;
typedef unsigned int PacketSize;

void Dispatch(ProtocolCode code);
void Reset() noexcept;
extern "C" int ProtocolVersion(void);
extern const char* kProtocolName;
static_assert(sizeof(ProtocolCode) > 1);
template <typename T> struct Codec;

extern "C" {

enum eCG_PING_PROTOCOL
{
	CG_PING_REQ = (9 << 8) | 1,
	CG_PING_ACK,
};

}

namespace talvenor::net {
enum eCG_MOVE_PROTOCOL {
	CG_MOVE_WALK,
	CG_MOVE_RUN,
	CG_MOVE_STOP,  // the last one has its comma too
};
}  // namespace talvenor::net

enum eCG_EMPTY_PROTOCOL {};

// The team's own macros: the compilers expand them in the wrap header as in the header, which
// they were defined for.
#pragma once

#define PROTO_ENUM(...)
#define DECLARE_PACKET(type) struct type;
#define PROTO_EXPORT
#define FORWARD(name) struct name

PROTO_ENUM(login)
DECLARE_PACKET(LoginPacket)
class PROTO_EXPORT Session;
FORWARD(Channel);

template <typename T> T Twice(T value);

enum eCG_TEAM_PROTOCOL
{
	CG_TEAM_JOIN = 0x0900,
	CG_TEAM_LEAVE,
};

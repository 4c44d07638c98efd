// Definitions after statements that macros of the header's make whole without ';': the wrap
// header repeats each definition, and the second one fails.
#pragma once
#define DECLARE_PACKET(type) struct type;
#define PROTO_ENUM(...)
DECLARE_PACKET(LoginPacket)
int gLogins;  // expect-warning PW010:1
PROTO_ENUM(login)
LoginPacket* gLast = nullptr;  // expect-warning PW010:1
enum eCG_COUNTED_PROTOCOL
{
	CG_COUNTED_FIRST = 0x0B00,
};

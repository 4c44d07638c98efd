// Declarations that name what the rules rewrite (an enumeration, a CG_ or CW_ name, _PROTOCOL):
// the wrap header repeats them as no C++, whatever the names mean.
#pragma once

enum eCG_MAP_PROTOCOL
{
	CG_MAP_ENTER,
	CG_MAP_LEAVE,
};
enum eCG_CATEGORY
{
	CG_CATEGORY_MAP = 1,
};

typedef eCG_MAP_PROTOCOL MAP_PROTOCOL;  // expect-warning PW010:9
void OnItemPacket(eCG_MAP_PROTOCOL eProtocol);  // expect-warning PW010:19
extern eCG_CATEGORY g_eLastCategory;  // expect-warning PW010:8
template <eCG_CATEGORY Category> class CCategoryHandler;  // expect-warning PW010:11
struct MSG_CG_LOGIN_SYN;  // expect-warning PW010:8
struct LOGIN_PROTOCOL;  // expect-warning PW010:8
typedef int LOGIN_PROTOCOL_ID;  // expect-warning PW010:13
int Max_PROTOCOLS();  // expect-warning PW010:5
template <typename T_PROTOCOL> struct Codec;  // expect-warning PW010:20

// Names the rules leave alone: lower case, no underscore after the family.
void Send(int cg_code);
class CGX;

namespace CG_Packet {  // expect-warning PW010:1
struct Login;
}

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

typedef eCG_MAP_PROTOCOL MAP_PROTOCOL;  // expect-warning PW010
void OnItemPacket(eCG_MAP_PROTOCOL eProtocol);  // expect-warning PW010
extern eCG_CATEGORY g_eLastCategory;  // expect-warning PW010
template <eCG_CATEGORY Category> class CCategoryHandler;  // expect-warning PW010
struct MSG_CG_LOGIN_SYN;  // expect-warning PW010
struct LOGIN_PROTOCOL;  // expect-warning PW010
typedef int LOGIN_PROTOCOL_ID;  // expect-warning PW010
int Max_PROTOCOLS();  // expect-warning PW010
template <typename T_PROTOCOL> struct Codec;  // expect-warning PW010

// Names the rules leave alone: lower case, no underscore after the family.
void Send(int cg_code);
class CGX;

namespace CG_Packet {  // expect-warning PW010
struct Login;
}

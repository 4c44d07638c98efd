// Client <-> game server protocol, version 3. Codes are (category << 8) | number: see below.
/* Notes, with commas, equals signs (a = b, c == d) and names like CG_LOGIN or CW_CHAT;
   a # and a }; in a comment change nothing that compiles. */
#pragma once
#ifndef PROTOCOL_OK_VALUES_LF_H
#define PROTOCOL_OK_VALUES_LF_H

#include <stdint.h>
#include "protocol_common.h"
//#include "CG_debug.h"
// #include "never, = included.h"

enum eCG_CATEGORY
{
	CG_LOGIN = 1,	// first, always
	CG_CHAT = 2,
	CG_ITEM = 3,	/* x = y, z */
};

enum eCG_LOGIN_PROTOCOL
{
	CG_LOGIN_REQ = (1 << PROTOCOL_CATEGORY_SHIFT) | 1,
	CG_LOGIN_ACK,
	CG_LOGIN_NAK = 0x0110,
	CG_LOGIN_KICK = 'K',
};

enum eCG_CHAT_PROTOCOL
{
	CG_CHAT_SAY = 512,		// "hello, world"
	CG_CHAT_WHISPER,
	CG_CHAT_SHOUT = 1'000,
};

#endif  // PROTOCOL_OK_VALUES_LF_H

// Saved by Visual Studio: UTF-8 with a byte-order mark, CR LF line ends.
#pragma once

enum eCG_PARTY_PROTOCOL
{
	CG_PARTY_INVITE = 0x700,
	CG_PARTY_JOIN,
	CG_PARTY_LEAVE,
};

// After an include that the check does not read, a word before a declaration's type may be a
// macro of the include: one written as macros are (capitals, or a leading "__") may say "extern",
// so the check says nothing of it; a word of one letter, or one with small letters, is a type,
// and the variable is defined twice.
#pragma once
#include "protocol_common.h"

enum eCG_WORDS_PROTOCOL
{
	CG_WORDS_A = 0x0100,
};
PROTOCOL_EXTERN int gWordsSeen;
__protocol_extern int gWordsCounted;
P gWordsTotal;  // expect-warning PW010:1
ProtocolCode gWordsLast;  // expect-warning PW010:1

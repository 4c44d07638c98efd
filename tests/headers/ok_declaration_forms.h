// Declarations whose form leaves the check unsure whether they define a variable, where the
// compilers accept them twice: a macro that stands for "extern" or "typedef", a word that looks
// like a macro of an include, one name alone. The check says nothing of them.
#pragma once
#include "protocol_common.h"

#define DECLARE_EXTERN extern
#define DECLARE_TYPE typedef unsigned
#define DECLARE_NOTHING

DECLARE_EXTERN int g_sessions;
DECLARE_TYPE SessionCount;
DECLARE_NOTHING;

enum eCG_FORMS_PROTOCOL
{
	CG_FORMS_A = 0x0E00,
};

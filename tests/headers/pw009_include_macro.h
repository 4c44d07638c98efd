// An include of a macro: the wrap header includes through the header's macro, unless the rules
// split the macro's name (CG_).
#pragma once

#define CONFIG_HEADER "protocol_config.h"
#include CONFIG_HEADER

#define CG_CONFIG_HEADER "protocol_config.h"
#include CG_CONFIG_HEADER  // expect-warning PW009:1

enum eCG_CONFIG_PROTOCOL
{
	CG_CONFIG_GET = PROTOCOL_CONFIG_LEVEL,
};

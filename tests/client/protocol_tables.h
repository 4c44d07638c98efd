// The example's tables through protowrap's client header, as any number of source files include
// them (client_header.cpp and lookup.cpp both do).
#pragma once

#include <protowrap/protocol_table.h>

#include "Protocol_CG.h"
#include "Protocol_CW.h"

#include "Protocol_CG.WRAP.h"
#include "Protocol_CW.WRAP.h"

/// In lookup.cpp: the name of a code of any CG table, found at run time, or "?".
const char* CgCodeName(int code);

// The tables of the example headers as any number of source files can include them: every
// PROTOCOL_STRUCT table is an inline constexpr array, defined once for the whole program and
// usable at compile time.
#pragma once

struct ProtocolEntry {
  const char* name;
  int value;
};

#define PROTOCOL_STRUCT inline constexpr ProtocolEntry
#define MAKE_PROTOCOL_INFO(name, ...) \
  { #name, name }
#define MAKE_PROTOCOL_INFO_EOR() \
  { nullptr, -1 }

#include "Protocol_CG.h"
#include "Protocol_CW.h"

#include "Protocol_CG.WRAP.h"
#include "Protocol_CW.WRAP.h"

/// The name of a code of a protocol table, or nullptr.
const char* CodeName(const ProtocolEntry* table, int code);

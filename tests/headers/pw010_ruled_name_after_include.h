// After an include that the check does not read, a name that rule 1 split (kCG_COUNT is
// kMAKE_PROTOCOL_INFO(CG_COUNT now): no include defines the rules' own names, so the bracket it
// opens is the rules', and the declaration is no C++ any more.
#pragma once
#include <cstdint>
#include "protocol_common.h"
const std::int32_t kCG_COUNT = 4;  // expect-warning PW010:1
int gValues[kCG_COUNT];  // expect-warning PW010:13

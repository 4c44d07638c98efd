// Next to every header of the check's corpus: an include that protowrap reads, as the compilers
// find it.
#pragma once
#define PROTOCOL_CONFIG_LEVEL 2

// An enumeration that also declares a variable: the wrap header's table closes with "}" and then
// names the variable, which leaves no valid table.
#pragma once

enum eCG_STATE_PROTOCOL
{
	CG_STATE_IDLE,
	CG_STATE_BUSY,
} g_lastState;  // expect-warning PW099:3

enum eCG_NEXT_PROTOCOL
{
	CG_NEXT_ONE,
};

// An array after the table: the table's end is the one fault there, whatever the rest defines.
enum eCG_PAIR_PROTOCOL
{
	CG_PAIR_LEFT,
	CG_PAIR_RIGHT,
} gPairs[2] = {CG_PAIR_LEFT, CG_PAIR_RIGHT};  // expect-warning PW099:3

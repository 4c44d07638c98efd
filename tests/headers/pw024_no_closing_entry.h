// Enumerations that do not end in "};": their tables get no closing entry, and compile. A client
// that looks for the closing entry reads past them.
#pragma once

#define ENUM_END };

enum eCG_OPEN_PROTOCOL
{
	CG_OPEN_A = 0x0B00,
	CG_OPEN_B,
} ;  // expect-warning PW024:1

enum eCG_NEXT_LINE_PROTOCOL
{
	CG_NEXT_LINE_A = 0x0B10,
}  // expect-warning PW024:1
;

enum eCG_TEAM_END_PROTOCOL
{
	CG_TEAM_END_A = 0x0C00,
ENUM_END  // expect-warning PW024:1

enum eCG_EMPTY_PROTOCOL
{
} ;

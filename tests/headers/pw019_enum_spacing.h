// "enum" and the name apart by more than one blank: the rules look for "enum e".
#pragma once

enum	eCG_SPACING_PROTOCOL  // expect-warning PW019:6
{
	CG_SPACING_A = 0xE00,
};

enum
	eCG_SPLIT_PROTOCOL  // expect-warning PW019:2
{
	CG_SPLIT_A = 0xE10,
};

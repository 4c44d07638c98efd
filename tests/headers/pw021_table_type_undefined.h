// A header that undefines PROTOCOL_STRUCT: where a client defines it as a macro (inline
// constexpr, in the form that many source files can include), the tables lose their type. The
// first table gets the warning, wherever it stands.
#pragma once
#undef PROTOCOL_STRUCT

struct MSG_HEADER;
int HeaderSize(const MSG_HEADER* header);

enum eCW_FIRST_PROTOCOL  // expect-warning PW021:1
{
	CW_FIRST_A = 0x0C00,
};

enum eCW_SECOND_PROTOCOL
{
	CW_SECOND_A = 0x0D00,
};

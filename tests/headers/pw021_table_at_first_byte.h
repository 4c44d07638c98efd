enum eCW_START_PROTOCOL  // expect-warning PW021:1
{
	CW_START_A = 0x0E00,
};
// A header whose first table stands at its very first byte, and that undefines PROTOCOL_STRUCT
// after it: the header is compiled before the tables, so the first table loses its type too.
#undef PROTOCOL_STRUCT
enum eCW_LATER_PROTOCOL
{
	CW_LATER_A = 0x0F00,
};

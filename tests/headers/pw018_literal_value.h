// A value with a character literal in it, which the rules rewrote ('=' became ','): the check
// reads it from the header as the compilers do, so the next value is known to be too large.
enum eCG_LITERAL_PROTOCOL
{
	CG_LITERAL_EQUALS = 0x7FFFFFFF - '=' + 61,
	CG_LITERAL_NEXT,  // expect-warning PW018:2
};

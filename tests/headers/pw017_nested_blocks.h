// Entries in a conditional block with another block nested in it: one warning for each block,
// at its first entry, however the blocks interleave.
enum eCG_NEST_PROTOCOL
{
	CG_NEST_HELLO,
#ifdef _WIN32
	CG_NEST_WINDOWS,  // expect-warning PW017:2
#ifdef _DEBUG
	CG_NEST_WINDOWS_DEBUG,  // expect-warning PW017:2
#endif
	CG_NEST_WINDOWS_LATE,
#endif
	CG_NEST_BYE,
};

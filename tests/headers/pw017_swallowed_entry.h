// A value that names an enumerator opens an entry of its own inside its entry, which stays open:
// the invocation swallows what follows up to the next unmatched closing parenthesis, the first
// entries of the table in the block below among them. The compilers never see those as entries;
// the first one they do see is where the table that the wrap header compiles everywhere fails.
enum eCW_SHOP_PROTOCOL
{
	CW_SHOP_OPEN,
	CW_SHOP_CLOSE = CW_SHOP_OPEN + 1,
};
#if 0
enum eCG_OLD_PROTOCOL
{
	CG_OLD_HELLO = 98,
	OLD_MARKER = 44,
	CG_OLD_BYE,  // expect-warning PW017:2
};
#endif

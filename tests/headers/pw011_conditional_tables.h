#ifdef _WIN32
enum eCG_FILE_PROTOCOL
{
	CG_FILE_OPEN = 1,
};
#else
enum eCG_FILE_PROTOCOL  // expect-warning PW011:1
{
	CG_FILE_OPEN = 2,
};
#endif

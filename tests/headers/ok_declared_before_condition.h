// An enumerator inside #ifdef whose name the header also declares earlier, outside any condition
// (here in another namespace): the wrap header compiles its entry everywhere, and where the
// condition does not hold the earlier declaration gives the name a meaning. Nothing fails.
enum eCG_BASE_PROTOCOL
{
	CG_BASE_HELLO,
};
namespace v2
{
#ifdef _WIN32
enum eCG_WIN_PROTOCOL
{
	CG_BASE_HELLO,
};
#endif
}

// A name that a build may define or not (_REENTRANT: g++ -pthread defines it, empty) stands between
// the entries: where it is no macro the header itself does not compile, so the check cannot blame
// the wrap header for it, and says nothing. The table ends at its '}' all the same: the one after it
// is a table of its own, and a declaration after it is no entry.
#pragma once
enum eCG_THREAD_PROTOCOL
{
	CG_THREAD_START,
	_REENTRANT
	CG_THREAD_STOP,
};
struct ThreadState;
enum eCG_AFTER_PROTOCOL
{
	CG_AFTER_START = 1,
	CG_AFTER_STOP,
};

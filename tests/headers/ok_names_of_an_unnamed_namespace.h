// A table that lists a name the build leaves out of it, which an unnamed namespace declares: the
// compilers find it in the namespace around that one.
#pragma once

namespace
{
enum eCG_HIDDEN_PROTOCOL
{
	CG_TEN = 10,
};
}

namespace fourth
{
enum eCG_FOURTH_PROTOCOL
{
#ifdef _WIN32
	CG_TEN,
#endif
	CG_TWELVE = 12,
};
}

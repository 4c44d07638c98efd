// A table that lists a name the build leaves out of it, which an inline namespace declares: the
// compilers find it there.
#pragma once

inline namespace v2
{
enum eCG_V2_PROTOCOL
{
	CG_ELEVEN = 11,
};
}

namespace fourth
{
enum eCG_FOURTH_PROTOCOL
{
#ifdef _WIN32
	CG_ELEVEN,
#endif
	CG_TWELVE = 12,
};
}

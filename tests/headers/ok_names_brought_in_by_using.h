// A table that lists a name the build leaves out of it, which a using-directive brings in from
// another namespace: the compilers find it there.
#pragma once

namespace first
{
enum eCG_FIRST_PROTOCOL
{
	CG_ONE = 1,
	CG_TWO,
};
}

using namespace first;

namespace fourth
{
enum eCG_FOURTH_PROTOCOL
{
#ifdef _WIN32
	CG_TWO,
#endif
	CG_TWELVE = 12,
};
}

// Tables in namespaces: a table sees the enumerators of its own namespace and of those around it,
// not those of another. Where one build leaves a name out of a table, the name that another
// namespace declares does not stand in for it.
#pragma once

namespace first
{
enum eCG_FIRST_PROTOCOL
{
	CG_ONE = 1,
	CG_TWO,
};
}

namespace second
{
enum eCG_SECOND_PROTOCOL
{
	CG_ONE = 1,
#ifdef _WIN32
	CG_TWO,  // expect-warning PW017:2
#endif
};
}

// Both conditional, in different builds: each table misses its name in the other build.
namespace left
{
enum eCG_LEFT_PROTOCOL
{
#ifdef __linux__
	CG_FIVE = 5,  // expect-warning PW017:2
#endif
	CG_SIX = 6,
};
}

namespace right
{
enum eCG_RIGHT_PROTOCOL
{
#ifdef _WIN32
	CG_FIVE = 5,  // expect-warning PW017:2
#endif
	CG_SIX = 6,
};
}

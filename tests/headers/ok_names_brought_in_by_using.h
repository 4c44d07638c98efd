// Tables that list a name the build leaves out of them, which a using-directive brings in from
// another namespace: at the global namespace, inside the table's namespace, by a qualified name,
// or naming a namespace that an earlier using-directive lets the lookup find. The compilers find
// each name there.
#pragma once

namespace first
{
enum eCG_FIRST_PROTOCOL
{
	CG_ONE = 1,
	CG_TWO,
};

namespace inner
{
enum eCG_INNER_PROTOCOL
{
	CG_THREE = 3,
};
}
}

namespace second
{
enum eCG_SECOND_PROTOCOL
{
	CG_FOUR = 4,
};

namespace deep
{
enum eCG_DEEP_PROTOCOL
{
	CG_FIVE = 5,
};
}
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

namespace fifth
{
using namespace ::second;
using namespace inner;
using namespace second::deep;

enum eCG_FIFTH_PROTOCOL
{
#ifdef _WIN32
	CG_FOUR,
	CG_THREE,
	CG_FIVE,
#endif
	CG_THIRTEEN = 13,
};
}

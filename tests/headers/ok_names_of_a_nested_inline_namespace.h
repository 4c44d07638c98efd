// A table that lists a name the build leaves out of it, which an inline namespace declares, opened
// as "outer::inline v3": the compilers find it in the namespace around the table.
#pragma once

namespace outer::inline v3
{
enum eCG_V3_PROTOCOL
{
	CG_THIRTEEN = 13,
};
}

namespace outer::fourth
{
enum eCG_FOURTH_PROTOCOL
{
#ifdef _WIN32
	CG_THIRTEEN,
#endif
	CG_TWELVE = 12,
};
}

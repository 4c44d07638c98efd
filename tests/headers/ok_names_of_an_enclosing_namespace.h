// Tables in namespaces that see a name the build leaves out of them, declared in a namespace
// around them (also one opened as "outer::deep", and the global namespace).
#pragma once

enum eCG_GLOBAL_PROTOCOL
{
	CG_FIFTEEN = 15,
};

namespace outer
{
enum eCG_OUTER_PROTOCOL
{
	CG_THREE = 3,
	CG_SEVEN = 7,
};

namespace inner
{
enum eCG_INNER_PROTOCOL
{
#ifdef _WIN32
	CG_THREE,
#endif
	CG_FOUR = 4,
};
}
}

namespace outer::deep
{
enum eCG_DEEP_PROTOCOL
{
#ifndef _WIN32
	CG_SEVEN = 7,
#else
	CG_FIFTEEN,
#endif
	CG_EIGHT = 8,
};
}

// A name that a table declares for every build and a later one declares again, in a namespace,
// for Debug builds only: where the later declaration is not compiled, its entry names the first.
#pragma once

enum eCG_EARLIER_PROTOCOL
{
	CG_EARLIER_PING = 0x0800,
};

namespace debug
{
enum eCG_EARLIER_DEBUG_PROTOCOL
{
#ifdef _DEBUG
	CG_EARLIER_PING = 0x0801,
#endif
	CG_EARLIER_TRACE = 0x0802,
};
}

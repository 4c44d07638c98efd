// Enumerators that exist only where a condition holds: the wrap header's tables name them
// wherever it is compiled. An include guard, #if 1 and #ifdef __cplusplus hold whenever the
// header is included, and enumerators declared in every branch are declared in any case.
#ifndef PROTOCOL_CONDITIONAL_H
#define PROTOCOL_CONDITIONAL_H

#ifdef __cplusplus
extern "C" {
#endif

enum eCG_DEBUG_PROTOCOL
{
	CG_DEBUG_PING = 0xC00,
#ifdef _DEBUG
	CG_DEBUG_DUMP,  // expect-warning PW017:2
	CG_DEBUG_TRACE,
#endif
#if 0
	CG_DEBUG_RETIRED = 0xC10,  // expect-warning PW017:2
#endif
#if 1
	CG_DEBUG_ECHO = 0xC20,
#endif
#if 0 // never: a directive is read to its end, comment and all
	CG_DEBUG_OLD_ECHO = 0xC21,  // expect-warning PW017:2
#endif
#if defined(PROTOCOL_V2)
	CG_DEBUG_STATS = 0xC30,
#else
	CG_DEBUG_STATS = 0xC31,  // expect-warning PW025:2
#endif
#ifdef PROTOCOL_V2
	CG_DEBUG_V2 = 0xC40,  // expect-warning PW017:2
#elif defined(PROTOCOL_V1)
	CG_DEBUG_V1 = 0xC41,  // expect-warning PW017:2
#endif
};

#ifdef TALVENOR_TOOLS
enum eCG_TOOLS_PROTOCOL
{
	CG_TOOLS_RELOAD = 0xD00,  // expect-warning PW017:2
};
#endif

#ifdef __cplusplus
}
#endif

#endif  // PROTOCOL_CONDITIONAL_H

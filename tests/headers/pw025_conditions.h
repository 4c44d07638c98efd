// Conditional blocks that every build configuration gets through with the same enumerators:
// conditions on the header's own version macro, on __cplusplus, on _DEBUG in both branches, a
// condition continued with a backslash, an include guard written as #if !defined(X) with a
// comment and #pragma once before its #define, and a block comment that an include opens. Every
// table compiles; those with an enumerator in both branches list it twice.
#if !defined(_PROTOCOL_CONDITIONS_H_)
// The guard: its #define comes after a comment and #pragma once.
#pragma once
#define _PROTOCOL_CONDITIONS_H_
#include "protocol_common.h" /* the shared definitions,
   a comment that the include opens and a later line closes */

#define PROTOCOL_VERSION 3
#define PROTOCOL_BASE 0x0400
#define PROTOCOL_CODE(n) ((n) << 8)

enum eCG_SESSION_PROTOCOL
{
	CG_SESSION_OPEN = PROTOCOL_BASE + 1,
	CG_SESSION_CODE = PROTOCOL_CODE(3),
#if defined(__cplusplus) && PROTOCOL_VERSION >= 2
	CG_SESSION_RESUME,
#endif
#if !defined(_DEBUG) || defined(_DEBUG)
	CG_SESSION_PING,
#endif
#ifdef _DEBUG
	CG_SESSION_TRACE = 0x4F0,
#else
	CG_SESSION_TRACE = 0x4F1,  // expect-warning PW025:2
#endif
#if defined(PROTOCOL_LEGACY) && \
    PROTOCOL_VERSION < 2
	CG_SESSION_OLD_CLOSE,
#else
	CG_SESSION_OLD_CLOSE,  // expect-warning PW025:2
#endif
#if PROTOCOL_VERSION == 3 ? 1 : 0
	CG_SESSION_CLOSE,
#endif
#if 1 // always: a directive is read to its end, comment and all
	CG_SESSION_ALWAYS,
#endif
};

#endif  // _PROTOCOL_CONDITIONS_H_

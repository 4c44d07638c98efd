// Whether the build targets a processor with SSE2 (every x86-64 does), and whether it uses it:
// the one place that says so, for the text replacer's scan and the header check's byte runs.
#pragma once

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define PROTOWRAP_HAS_SSE2 1
#else
#define PROTOWRAP_HAS_SSE2 0
#endif

// PROTOWRAP_PORTABLE_SCAN asks for the portable code where SSE2 could run.
#if PROTOWRAP_HAS_SSE2 && !defined(PROTOWRAP_PORTABLE_SCAN)
#define PROTOWRAP_USE_SSE2 1
#else
#define PROTOWRAP_USE_SSE2 0
#endif

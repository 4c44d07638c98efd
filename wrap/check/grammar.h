// The grammar that the rules aim at, read over a wrap header.
#pragma once

#include <cstdint>

#include "wrap/check/problem_sink.h"

namespace protowrap::check {

/// Reads the wrap header `text` (length bytes, followed by a NUL) the way a C++ compiler that
/// includes it after its input header would: tables of MAKE_PROTOCOL_INFO entries closed by
/// MAKE_PROTOCOL_INFO_EOR, with comments, includes, namespaces, extern "C" blocks and pure
/// declarations around them. Each cause of a compile error goes to `sink` once, at the place that
/// the compiler blames.
///
/// Nothing recurses as deep as the input nests; time is linear in the text, and memory holds a
/// few bytes per namespace, table and open conditional entry. Throws std::bad_alloc when that
/// memory cannot be had.
void ParseWrapHeader(const char* text, std::int32_t length, ProblemSink& sink);

}  // namespace protowrap::check

// Deterministic generator of realistic protocol-definition headers, for benchmarks.
#pragma once

#include <cstddef>
#include <string>

namespace protowrap::bench {

/// A protocol-definition header of family "CG" or "CW" of about `size` bytes (at least `size`,
/// at most one enumeration more): a category enumeration with values, then protocol
/// enumerations with and without explicit values, comments, includes and _PACK names, with LF or
/// CR LF line ends. The same arguments always give the same bytes; `variant` picks another header
/// of the same shape.
std::string GenerateHeader(const char* family, std::size_t size, bool crlf, unsigned variant = 1);

}  // namespace protowrap::bench

// Reading a value out of the bytes of a Windows initialization (INI) file, as
// GetPrivateProfileStringA does.
#pragma once

#include <cstddef>
#include <cstdint>

namespace protowrap::platform {

/// Looks up `key` in the first section named `section` of the INI text `data` (size bytes, NULs
/// allowed) and copies its value into `buffer` as a terminated string of at most bufferSize - 1
/// bytes; `defaultValue` (also cut) when the section or key is missing. Names compare without
/// regard to ASCII case. Lines end at LF, CR LF or a lone CR; blanks around lines, names and
/// values are dropped; a section name runs from '[' to the last ']' of its line; a line
/// starting with ';' is a comment; a value enclosed in matching
/// quotes loses them; a NUL ends a value. A UTF-8 byte-order mark is skipped, and a UTF-16 text
/// (with its mark) is read as such, characters outside ASCII becoming '?'. Returns the length
/// copied.
std::uint32_t LookupProfileValue(const char* data, std::size_t size, const char* section,
                                 const char* key, const char* defaultValue, char* buffer,
                                 std::uint32_t bufferSize);

}  // namespace protowrap::platform

// The plain reference that tests and fuzz targets check the replacer against: left-to-right,
// non-overlapping, literal replacement written with std::string::find, independent of the code
// under test.
#pragma once

#include <string>

namespace protowrap::reference {

inline std::string ReplaceReference(const std::string& text, const std::string& pattern,
                                    const std::string& replacement) {
  if (pattern.empty()) {
    return text;
  }
  std::string out;
  std::size_t from = 0;
  for (std::size_t at; (at = text.find(pattern, from)) != std::string::npos;
       from = at + pattern.size()) {
    out.append(text, from, at - from).append(replacement);
  }
  return out.append(text, from, std::string::npos);
}

}  // namespace protowrap::reference

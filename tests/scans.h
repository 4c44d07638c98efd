// The scans this build has, so that tests and fuzz targets can check every one of them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace protowrap::testing {

struct Scan {
  const char* name;
  const char* (*findFirstMatch)(const char*, const char*, const char*, std::size_t);
  std::size_t (*collectMatches)(const char*, const char*, const char*, const char*, std::size_t,
                                std::int32_t*, std::size_t, const char**);
};

/// Every scan compiled into this build, closed by an entry with a null name.
extern const Scan kScans[];

}  // namespace protowrap::testing

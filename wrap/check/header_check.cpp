#include "wrap/check/header_check.h"

#include <new>

#include "wrap/check/grammar.h"

namespace protowrap::check {

bool CheckWrapHeader(const char* output, std::int32_t outputLength, WarningReport* report) {
  try {
    ParseWrapHeader(output, outputLength, *report);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace protowrap::check

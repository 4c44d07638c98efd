// Fuzzes the INI lookup: it never reads past its input, never writes past its buffer, never
// returns more than the buffer less one byte, and its value is a string that a NUL ends.
#include <cstdint>
#include <cstdio>

#include "fuzz/fuzz_reference.h"
#include "platform/profile_lookup.h"

using namespace protowrap::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) {
    return 0;
  }
  // The first two bytes pick the buffer size; 512, the program's, is the most common.
  const std::uint32_t pick = data[0] | static_cast<std::uint32_t>(data[1]) << 8;
  const std::uint32_t bufferSize = pick % 4 == 0 ? 1 + pick % 700 : 512;
  const std::string ini(reinterpret_cast<const char*>(data + 2), size - 2);
  char* input = ExactBlock(ini, false);
  auto* buffer = static_cast<char*>(std::malloc(bufferSize));
  const char* key = pick % 3 == 0 ? "CW_FILE_PATH" : "CG_FILE_PATH";
  const std::uint32_t length = protowrap::platform::LookupProfileValue(input, ini.size(), "CONFIG",
                                                                       key, "", buffer, bufferSize);
  if (length >= bufferSize || buffer[length] != '\0' || std::strlen(buffer) != length) {
    Broken("the value must be a terminated string that fits the buffer");
  }
  std::free(buffer);
  std::free(input);
  return 0;
}

// Fuzzes the INI lookup: it never reads past its input, never writes past its buffer, never
// returns more than the buffer less one byte, its value is a string that a NUL ends, and a reader
// fed the same text in pieces of random sizes (where a streaming reader breaks) answers the same.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "config/ini_reader.h"
#include "fuzz/fuzz_reference.h"

using namespace protowrap::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) {
    return 0;
  }
  // The first two bytes pick the buffer size (512, the program's, is the most common) and the
  // sizes of the pieces.
  const std::uint32_t pick = data[0] | static_cast<std::uint32_t>(data[1]) << 8;
  std::uint32_t state = pick * 2654435761u ^ static_cast<std::uint32_t>(size);
  const std::uint32_t bufferSize = pick % 4 == 0 ? 1 + pick % 700 : 512;
  const std::string ini(reinterpret_cast<const char*>(data + 2), size - 2);
  char* input = ExactBlock(ini, false);
  auto* buffer = static_cast<char*>(std::malloc(bufferSize));
  const char* key = pick % 3 == 0 ? "CW_FILE_PATH" : "CG_FILE_PATH";
  protowrap::config::IniReader whole("CONFIG", key, buffer, bufferSize);
  whole.Feed(input, ini.size());
  const std::uint32_t length = whole.Finish("");
  if (length >= bufferSize || buffer[length] != '\0' || std::strlen(buffer) != length) {
    Fail("the value must be a terminated string that fits the buffer");
  }

  // The same text in pieces, each in a block of its own size, so that a read past a piece is
  // caught.
  auto* pieced = static_cast<char*>(std::malloc(bufferSize));
  protowrap::config::IniReader reader("CONFIG", key, pieced, bufferSize);
  for (std::size_t at = 0; at < ini.size();) {
    state = state * 1103515245u + 12345u;
    std::size_t piece = 1 + (state >> 16) % (state % 5 == 0 ? 4096 : 9);
    piece = piece < ini.size() - at ? piece : ini.size() - at;
    char* block = ExactBlock(ini.substr(at, piece), false);
    const bool more = reader.Feed(block, piece);
    std::free(block);
    at += piece;
    if (!more) {
      break;
    }
  }
  if (reader.Finish("") != length || std::memcmp(pieced, buffer, length + 1) != 0) {
    Fail("a text fed in pieces must give the same answer as the whole text");
  }
  std::free(pieced);
  std::free(buffer);
  std::free(input);
  return 0;
}

// Writes a generated protocol-definition header: generate_header CG|CW BYTES [crlf] > file.h
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bench/header_generator.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: generate_header CG|CW BYTES [crlf] > file.h\n");
    return 2;
  }
  const std::size_t size = std::strtoull(argv[2], nullptr, 10);
  const bool crlf = argc > 3 && std::strcmp(argv[3], "crlf") == 0;
  const std::string header = protowrap::bench::GenerateHeader(argv[1], size, crlf);
  return std::fwrite(header.data(), 1, header.size(), stdout) == header.size() ? 0 : 1;
}

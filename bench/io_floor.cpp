// The input and output floor: reads two inputs whole and writes two outputs of the sizes that
// their conversions have, as protowrap does, with no conversion at all. The output bytes are the
// input's, repeated to the size (the same pages are written either way).
//   io_floor INPUT1 OUTPUT1 SIZE1 INPUT2 OUTPUT2 SIZE2
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool CopyToSize(const char* input, const char* output, std::size_t size) {
  std::FILE* in = std::fopen(input, "rb");
  if (in == nullptr) {
    return false;
  }
  std::fseek(in, 0, SEEK_END);
  const auto length = static_cast<std::size_t>(std::ftell(in));
  std::fseek(in, 0, SEEK_SET);
  auto* text = static_cast<char*>(std::malloc(length + 1));
  auto* out = static_cast<char*>(std::malloc(size + 1));
  bool ok = text != nullptr && out != nullptr && std::fread(text, 1, length, in) == length;
  std::fclose(in);
  if (ok && length > 0) {
    for (std::size_t at = 0; at < size; at += length) {
      std::memcpy(out + at, text, size - at < length ? size - at : length);
    }
  }
  std::FILE* target = ok ? std::fopen(output, "wb") : nullptr;
  ok = target != nullptr && std::fwrite(out, 1, size, target) == size;
  if (target != nullptr) {
    ok = std::fclose(target) == 0 && ok;
  }
  std::free(text);
  std::free(out);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 7) {
    std::fprintf(stderr, "usage: io_floor INPUT1 OUTPUT1 SIZE1 INPUT2 OUTPUT2 SIZE2\n");
    return 2;
  }
  for (int i = 1; i < argc; i += 3) {
    if (!CopyToSize(argv[i], argv[i + 1], std::strtoull(argv[i + 2], nullptr, 10))) {
      return 1;
    }
  }
  return 0;
}

// The floor under any conversion of one file: read it, copy its text into a fresh block of each
// rule's result size in turn (releasing the previous block, as the conversion does), write the
// last one. No searching at all.
//   copy_floor INPUT OUTPUT SIZE1 ... SIZE14
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: copy_floor INPUT OUTPUT SIZE...\n");
    return 2;
  }
  std::FILE* in = std::fopen(argv[1], "rb");
  if (in == nullptr) {
    return 1;
  }
  std::fseek(in, 0, SEEK_END);
  std::size_t length = static_cast<std::size_t>(std::ftell(in));
  std::fseek(in, 0, SEEK_SET);
  auto* text = static_cast<char*>(std::malloc(length + 1));
  if (std::fread(text, 1, length, in) != length) {
    return 1;
  }
  std::fclose(in);
  for (int i = 3; i < argc; ++i) {
    const std::size_t size = std::strtoull(argv[i], nullptr, 10);
    auto* next = static_cast<char*>(std::malloc(size + 1));
    const std::size_t kept = size < length ? size : length;
    std::memcpy(next, text, kept);
    std::memset(next + kept, ' ', size - kept);
    next[size] = '\0';
    std::free(text);
    text = next;
    length = size;
  }
  std::FILE* out = std::fopen(argv[2], "wb");
  const bool ok = out != nullptr && std::fwrite(text, 1, length, out) == length;
  std::free(text);
  return ok && std::fclose(out) == 0 ? 0 : 1;
}

// The input and output floor: reads two inputs whole and writes two outputs of the sizes that
// their conversions have, with no conversion and no copy of the text. Each input comes in with
// read(2) into a block as large as its output, and the output goes out of that block with write(2):
// the least that any program doing the job must do (POSIX).
//   io_floor INPUT1 OUTPUT1 SIZE1 INPUT2 OUTPUT2 SIZE2
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

bool All(ssize_t (*transfer)(int, void*, std::size_t), int fd, char* data, std::size_t size) {
  for (std::size_t done = 0; done < size;) {
    const ssize_t moved = transfer(fd, data + done, size - done);
    if (moved <= 0) {
      return false;
    }
    done += static_cast<std::size_t>(moved);
  }
  return true;
}

ssize_t WriteSome(int fd, void* data, std::size_t size) {
  return ::write(fd, data, size);
}

bool ReadAndWrite(const char* input, const char* output, std::size_t size) {
  const int in = ::open(input, O_RDONLY);
  struct stat info {};
  if (in < 0 || ::fstat(in, &info) != 0) {
    return false;
  }
  const auto length = static_cast<std::size_t>(info.st_size);
  auto* block = static_cast<char*>(std::malloc((length > size ? length : size) + 1));
  bool ok = block != nullptr && All(::read, in, block, length);
  ::close(in);
  const int out = ok ? ::open(output, O_WRONLY | O_CREAT | O_TRUNC, 0666) : -1;
  ok = out >= 0 && All(WriteSome, out, block, size);
  if (out >= 0) {
    ok = ::close(out) == 0 && ok;
  }
  std::free(block);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 7) {
    std::fprintf(stderr, "usage: io_floor INPUT1 OUTPUT1 SIZE1 INPUT2 OUTPUT2 SIZE2\n");
    return 2;
  }
  for (int i = 1; i < argc; i += 3) {
    if (!ReadAndWrite(argv[i], argv[i + 1], std::strtoull(argv[i + 2], nullptr, 10))) {
      return 1;
    }
  }
  return 0;
}

// The configuration on POSIX systems: IniReader fed from the file piece by piece, so that a file
// of any size takes the same small memory. The file is read whatever locks others hold on it.
#include <fcntl.h>
#include <unistd.h>

#include "config/configuration.h"
#include "config/ini_reader.h"
#include "platform/posix_io.h"

namespace protowrap::config {

namespace {

class PosixConfiguration final : public Configuration {
 public:
  void GetValue(const char* section, const char* key, const char* defaultValue, char* buffer,
                std::uint32_t bufferSize, const char* iniPath) override {
    using namespace platform::posix;
    IniReader reader(section, key, buffer, bufferSize);
    bool complete = false;
    const int fd = OpenNonBlocking(iniPath, O_RDONLY);
    if (fd >= 0) {
      if (IsRegularFile(fd) && ClearNonBlocking(fd)) {
        char piece[64 * 1024];
        for (;;) {
          const ssize_t got = ReadFully(fd, piece, sizeof piece);
          if (got < 0) {
            break;
          }
          if (!reader.Feed(piece, static_cast<std::size_t>(got)) ||
              got < static_cast<ssize_t>(sizeof piece)) {
            complete = true;
            break;
          }
        }
      }
      ::close(fd);
    }
    if (!complete) {
      // A missing, unreadable or special file answers with the default, as an empty one does.
      IniReader(section, key, buffer, bufferSize).Finish(defaultValue);
      return;
    }
    reader.Finish(defaultValue);
  }
};

}  // namespace

Configuration& SystemConfiguration() {
  static PosixConfiguration configuration;
  return configuration;
}

}  // namespace protowrap::config

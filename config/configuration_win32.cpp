// The configuration on Windows: Windows' own INI lookup.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "config/configuration.h"

namespace protowrap::config {

namespace {

class Win32Configuration final : public Configuration {
 public:
  void GetValue(const char* section, const char* key, const char* defaultValue, char* buffer,
                std::uint32_t bufferSize, const char* iniPath) override {
    // The value ends where the lookup says, whatever the buffer held before.
    const DWORD length =
        GetPrivateProfileStringA(section, key, defaultValue, buffer, bufferSize, iniPath);
    if (bufferSize > 0) {
      buffer[length < bufferSize ? length : bufferSize - 1] = '\0';
    }
  }
};

}  // namespace

Configuration& SystemConfiguration() {
  static Win32Configuration configuration;
  return configuration;
}

}  // namespace protowrap::config

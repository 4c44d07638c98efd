// Where the conversion learns the paths of its headers: a value of an INI file. One
// implementation per platform (configuration_posix.cpp, configuration_win32.cpp); the build picks
// one. Tests substitute their own Configuration.
#pragma once

#include <cstdint>

namespace protowrap::config {

/// Size of the value buffer: values are cut to one byte less.
inline constexpr std::uint32_t kValueSize = 512;

/// Reads values of INI files. Nothing fails: what cannot be read gives the default.
class Configuration {
 public:
  virtual ~Configuration() = default;

  /// Copies the value of `key` in `section` of the INI file `iniPath` into `buffer` as a
  /// terminated string cut to bufferSize - 1 bytes, or `defaultValue` when the file, the section
  /// or the key is missing.
  virtual void GetValue(const char* section, const char* key, const char* defaultValue,
                        char* buffer, std::uint32_t bufferSize, const char* iniPath) = 0;
};

/// The platform's own: Windows' GetPrivateProfileStringA, or elsewhere IniReader, which reads
/// the file as Windows does.
Configuration& SystemConfiguration();

}  // namespace protowrap::config

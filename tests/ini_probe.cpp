// Prints what the platform's configuration lookup answers for CG_FILE_PATH and CW_FILE_PATH in
// section CONFIG of each INI file named on the command line, one line per key:
//   <file> <key> <value in hex>
// Built for Linux it asks the POSIX lookup, built for Windows GetPrivateProfileStringA, so the two
// answers can be compared file by file.
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "config/configuration.h"

int main(int argc, char** argv) {
  protowrap::config::Configuration& configuration = protowrap::config::SystemConfiguration();
  for (int i = 1; i < argc; ++i) {
    for (const char* key : {"CG_FILE_PATH", "CW_FILE_PATH"}) {
      char value[protowrap::config::kValueSize];
      std::memset(value, 0x55, sizeof value);
      configuration.GetValue("CONFIG", key, "", value, sizeof value, argv[i]);
      std::printf("%s %s ", argv[i], key);
      for (const char* c = value; c < value + sizeof value && *c != '\0'; ++c) {
        std::printf("%02x", static_cast<unsigned char>(*c));
      }
      std::printf("\n");
    }
  }
  return 0;
}

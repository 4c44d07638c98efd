// The generator of realistic protocol-definition headers for benchmarks.
#include "bench/header_generator.h"

#include <cstdint>

namespace protowrap::bench {

namespace {

constexpr const char* kWords[] = {
    "LOGIN",  "LOGOUT", "MOVE",   "ATTACK", "SKILL", "ITEM",  "TRADE",   "PARTY", "GUILD",
    "CHAT",   "SHOP",   "QUEST",  "MAIL",   "RANK",  "EVENT", "STATUS",  "SYNC",  "ENTER",
    "LEAVE",  "BUY",    "SELL",   "EQUIP",  "DROP",  "PICK",  "REVIVE",  "WARP",  "EMOTE",
    "FRIEND", "BLOCK",  "INVITE", "KICK",   "LIST",  "INFO",  "REFRESH", "TIMER", "NOTICE"};
constexpr const char* kSuffixes[] = {"SYN", "ACK", "NAK", "CMD", "BRD", "REQ", "ANS"};

// A small linear congruential generator: the same variant, the same header, on every platform.
class Random {
 public:
  explicit Random(unsigned variant) : state_(variant * 2654435761u + 1) {}
  unsigned Next(unsigned bound) {
    state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<unsigned>((state_ >> 33) % bound);
  }

 private:
  std::uint64_t state_;
};

template <typename T, std::size_t N>
constexpr unsigned Count(const T (&)[N]) {
  return N;
}

}  // namespace

std::string GenerateHeader(const char* family, std::size_t size, bool crlf, unsigned variant) {
  const std::string f = family;
  const std::string eol = crlf ? "\r\n" : "\n";
  Random random(variant);
  std::string out;
  out.reserve(size + 4096);
  auto line = [&](const std::string& text) { out.append(text).append(eol); };

  line("// Protocol codes of the " + f + " family. Generated for benchmarks; do not edit.");
  line("#pragma once");
  line("#include <stdint.h>");
  line("//#include \"ProtocolDebug.h\"");
  line("");
  constexpr unsigned kCategories = 24;
  line(f == "CW" ? "enum e" + f + "_CATEGORY_PACK" : "enum e" + f + "_CATEGORY");
  line("{");
  for (unsigned c = 0; c < kCategories; ++c) {
    line("\t" + f + "_" + kWords[c] + " = " + std::to_string(c + 1) + ",");
  }
  line("};");

  for (unsigned block = 0; out.size() < size; ++block) {
    const unsigned category = block % kCategories;
    const std::string prefix = f + "_" + kWords[category] + "_";
    line("");
    line("// " + std::string(kWords[category]) + " messages, part " + std::to_string(block) +
         ": requests, answers and broadcasts.");
    line("enum e" + f + "_" + kWords[category] + std::to_string(block) + "_PROTOCOL");
    line("{");
    const unsigned entries = 6 + random.Next(20);
    for (unsigned e = 0; e < entries; ++e) {
      std::string entry = "\t" + prefix + kWords[random.Next(Count(kWords))] + "_" +
                          kSuffixes[random.Next(Count(kSuffixes))] + std::to_string(block) + "_" +
                          std::to_string(e);
      if (e == 0 || random.Next(5) == 0) {
        entry += " = " + std::to_string(block * 256 + e);
      }
      entry += ",";
      if (random.Next(4) == 0) {
        entry += "\t// sent when the client asks, once per second at most";
      }
      line(entry);
    }
    line("};");
  }
  return out;
}

}  // namespace protowrap::bench

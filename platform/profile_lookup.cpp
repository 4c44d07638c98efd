#include "platform/profile_lookup.h"

#include <cstring>
#include <string>

namespace protowrap::platform {

namespace {

// A piece of the text, [begin, end).
struct Span {
  const char* begin;
  const char* end;

  bool empty() const { return begin == end; }
  std::size_t size() const { return static_cast<std::size_t>(end - begin); }
};

// Characters that surround lines, names and values without belonging to them: the C blanks and
// Ctrl-Z, which old DOS editors left at the end of a file.
bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1a';
}

Span Trim(Span s) {
  while (s.begin < s.end && IsBlank(*s.begin)) {
    ++s.begin;
  }
  while (s.end > s.begin && IsBlank(s.end[-1])) {
    --s.end;
  }
  return s;
}

// Everything before the first NUL: names and values are strings, and a NUL ends them.
Span UpToNul(Span s) {
  const void* nul = std::memchr(s.begin, '\0', s.size());
  return nul == nullptr ? s : Span{s.begin, static_cast<const char*>(nul)};
}

char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool NameEquals(Span name, const char* wanted) {
  name = UpToNul(name);
  const std::size_t length = std::strlen(wanted);
  if (name.size() != length) {
    return false;
  }
  for (std::size_t i = 0; i < length; ++i) {
    if (AsciiLower(name.begin[i]) != AsciiLower(wanted[i])) {
      return false;
    }
  }
  return true;
}

// A UTF-16 text as the ANSI bytes Windows would hand back: ASCII characters as themselves, every
// other character as '?'. A trailing odd byte is dropped.
std::string NarrowUtf16(const unsigned char* data, std::size_t size, bool bigEndian) {
  std::string narrow;
  narrow.reserve(size / 2);
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    const unsigned high = bigEndian ? data[i] : data[i + 1];
    const unsigned low = bigEndian ? data[i + 1] : data[i];
    const unsigned unit = high << 8 | low;
    narrow.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
  }
  return narrow;
}

std::uint32_t CopyCut(Span value, char* buffer, std::uint32_t bufferSize) {
  if (bufferSize == 0) {
    return 0;
  }
  const std::size_t length = value.size() < bufferSize - 1 ? value.size() : bufferSize - 1;
  std::memcpy(buffer, value.begin, length);
  buffer[length] = '\0';
  return static_cast<std::uint32_t>(length);
}

// Copies a found value: cut at a NUL, freed of one pair of enclosing quotes, cut to the buffer.
std::uint32_t CopyValue(Span value, char* buffer, std::uint32_t bufferSize) {
  value = UpToNul(value);
  if (value.size() >= 2 && (*value.begin == '"' || *value.begin == '\'') &&
      value.end[-1] == *value.begin) {
    // Windows copies what follows the opening quote into the buffer and then drops the last
    // character, but only when everything up to the closing quote fitted; when the buffer holds
    // exactly that, it therefore loses the value's last character too.
    ++value.begin;
    if (bufferSize < value.size()) {
      return CopyCut(value, buffer, bufferSize);
    }
    if (bufferSize == value.size()) {
      --value.end;
    }
    --value.end;
  }
  return CopyCut(value, buffer, bufferSize);
}

// Finds the key's value in the first section named `section`. Returns false when there is none.
bool FindValue(Span text, const char* section, const char* key, Span* value) {
  bool inSection = false;
  const char* cursor = text.begin;
  while (cursor < text.end) {
    Span line{cursor, cursor};
    while (line.end < text.end && *line.end != '\n' && *line.end != '\r') {
      ++line.end;
    }
    cursor = line.end < text.end ? line.end + 1 : line.end;
    line = Trim(line);
    if (line.empty()) {
      continue;
    }
    if (*line.begin == '[') {
      // The name ends at the last ']' of the line, as Windows reads it: "[A]B]" is section "A]B".
      const char* close = line.end - 1;
      while (close > line.begin && *close != ']') {
        --close;
      }
      if (close > line.begin) {
        if (inSection) {
          return false;  // only the first section of that name counts
        }
        inSection = NameEquals(Trim({line.begin + 1, close}), section);
        continue;
      }
    }
    if (!inSection || *line.begin == ';') {
      continue;
    }
    const void* equals = std::memchr(line.begin, '=', line.size());
    const char* nameEnd = equals != nullptr ? static_cast<const char*>(equals) : line.end;
    if (NameEquals(Trim({line.begin, nameEnd}), key)) {
      *value = equals != nullptr ? Trim({nameEnd + 1, line.end}) : Span{line.end, line.end};
      return true;
    }
  }
  return false;
}

}  // namespace

std::uint32_t LookupProfileValue(const char* data, std::size_t size, const char* section,
                                 const char* key, const char* defaultValue, char* buffer,
                                 std::uint32_t bufferSize) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(data);
  std::string narrow;
  Span text{data, data + size};
  if (size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
    text.begin += 3;
  } else if (size >= 2 &&
             ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF))) {
    narrow = NarrowUtf16(bytes + 2, size - 2, bytes[0] == 0xFE);
    text = {narrow.data(), narrow.data() + narrow.size()};
  }
  Span value{};
  if (FindValue(text, section, key, &value)) {
    return CopyValue(value, buffer, bufferSize);
  }
  const char* fallback = defaultValue != nullptr ? defaultValue : "";
  return CopyCut({fallback, fallback + std::strlen(fallback)}, buffer, bufferSize);
}

}  // namespace protowrap::platform
